// Numeric resource identifiers shared by fixtally.rc and the Win32 code that loads them.
// Plain preprocessor values only: the resource compiler reads this file too.
#ifndef FIXTALLY_RESOURCES_RESOURCE_IDS_H
#define FIXTALLY_RESOURCES_RESOURCE_IDS_H

// The program icon: the executable's only icon group, which the shell shows and the window
// class loads by this number.
#define MAINICON 1

// The loader reads the manifest of a process's executable only under this number and type.
#define FIXTALLY_MANIFEST_ID 1
#define FIXTALLY_RT_MANIFEST 24

// The other pictures are named resources, loaded by name:
//   CURSEUR1       hand cursor of the web-link label, 32 x 32 monochrome, hotspot at the fingertip
//   LOGO           48 x 48, 24-bit; drawn transparent with its lower-left pixel (pure white) as key
//   BTN_SEARCH, BTN_COPY, BTN_LINK
//                  16 x 16, 32-bit bottom-up BI_RGB with premultiplied alpha (ready for
//                  AlphaBlend); load with LR_CREATEDIBSECTION to keep the alpha byte
//   BTN_SEARCH_24, BTN_COPY_24, BTN_LINK_24
//                  the same pictures in 24-bit on a magenta (FF00FF) key, for systems without
//                  alpha-blended button images

#endif  // FIXTALLY_RESOURCES_RESOURCE_IDS_H
