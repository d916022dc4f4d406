#pragma once
// Three-way comparison results as the sorts use them: -1, 0 or +1.

template <typename T>
int CompareValues(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

inline int SignOf(int value) {
  return CompareValues(value, 0);
}
