#pragma once
// What the program calls itself: the window shows these, and the settings file's section
// VERSION records them.

inline constexpr char kApplicationTitle[] = "Fixtally";
inline constexpr char kVersionText[] = "1.2.0.0";
inline constexpr char kCopyrightLine[] = "Copyright (c) 2026 Fixtally";
