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
//   CURSEUR1       hand cursor of the web-link label, 32 x 32, 48 x 48 and 64 x 64 monochrome
//                  (the sizes of cursors at 100, 150 and 200 %), hotspot at the fingertip
//   LOGO           48 x 48, 24-bit; drawn transparent with its lower-left pixel (pure white) as key
//   BTN_SEARCH, BTN_COPY, BTN_LINK
//                  16 x 16, 32-bit bottom-up BI_RGB with premultiplied alpha (ready for
//                  AlphaBlend); load with LR_CREATEDIBSECTION to keep the alpha byte
//   BTN_SEARCH_24, BTN_COPY_24, BTN_LINK_24
//                  the same pictures in 24-bit on a magenta (FF00FF) key, for systems without
//                  alpha-blended button images
//   LOGO_150, LOGO_200, BTN_*_24_150, BTN_*_24_200
//                  the logo and the 24-bit button pictures drawn at 150 % and 200 % of their
//                  size, for screens of those scalings (app/form_pictures.h chooses)

#endif  // FIXTALLY_RESOURCES_RESOURCE_IDS_H
