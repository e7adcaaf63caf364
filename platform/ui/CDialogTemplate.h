#pragma once

#include "platform/core/CString.h"

#include <string>
#include <vector>

// A dialog template kept as text in res/ and embedded with the kind
// "template". One directive a line; '#' starts a comment line:
//
//   caption "Settings"                      the window title
//   size 123 145                            width and height in dialog units
//   font 8 "System"                         point size and face name
//   face 240 268                            optional: a skinned client area of
//                                           that many face pixels, zoomed
//   style WS_POPUP|WS_CAPTION               window styles, by name
//   exstyle WS_EX_APPWINDOW                 extended styles, by name
//   control ID CLASS "text" X Y W H STYLES  a control; positions in dialog units
class CDialogTemplate {
public:
    struct Item {
        int id { 0 };
        CString className;
        CString text;
        int x { 0 };
        int y { 0 };
        int width { 0 };
        int height { 0 };
        std::vector<std::string> styles;

        bool HasStyle(const char* name) const;
    };

    CString m_caption;
    int m_width { 0 };
    int m_height { 0 };
    int m_pointSize { 8 };
    CString m_fontName;
    // Face pixels of a skinned dialog; 0 for an ordinary dialog.
    int m_faceWidth { 0 };
    int m_faceHeight { 0 };
    std::vector<std::string> m_styles;
    std::vector<std::string> m_exStyles;
    std::vector<Item> m_items;

    // False (and the template left empty) when the text is not a template.
    bool Parse(const std::string& text);
    // The embedded template of the given id.
    bool Load(int id);
    bool IsFace() const { return m_faceWidth > 0 && m_faceHeight > 0; }
};
