// Renders the player's face at start-up to a PNG file:
//     tabrino-face out.png
// The face is painted the way the window paints it: the background erase,
// then every control composed by the dialog.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/PngFile.h"
#include "platform/ui/WindowHandle.h"
#include "skin/CFaceRenderer.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tabrino-face out.png\n");
        return 2;
    }
    CFaceRenderer face;
    if (!face.Render()) {
        std::fprintf(stderr, "tabrino-face: the skin bitmaps could not be loaded\n");
        return 1;
    }
    if (!WritePng(face.Pixels(), CString::FromUtf8(argv[1]))) {
        std::fprintf(stderr, "tabrino-face: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
