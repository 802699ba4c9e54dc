#pragma once

#include <string>
#include <vector>

// A dialog as data: what the window is and every control in it, positioned
// in dialog units (a quarter of the dialog font's average character width
// across, an eighth of its height down). The window kit turns a template
// into real widgets; nothing here knows of any toolkit.

struct DialogRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

enum class ControlKind
{
    Static,           // text label
    Edit,             // one-line text entry
    PushButton,
    DefaultPushButton,
    PushLikeCheckBox, // a button that stays pressed while checked
    CheckBox,
    DropDownList,     // a list without an edit field
    GroupBox,
    Picture,          // a bitmap or icon resource, named by imageId
    ProgressBar,
};

// Style bits; each kind heeds the ones that apply to it.
namespace ControlStyle
{
inline constexpr unsigned None = 0;
inline constexpr unsigned AlignRight = 1u << 0;
inline constexpr unsigned AlignCenter = 1u << 1;
inline constexpr unsigned CenterVertically = 1u << 2;
inline constexpr unsigned ReadOnly = 1u << 3;
inline constexpr unsigned Border = 1u << 4;
inline constexpr unsigned AutoHScroll = 1u << 5;
inline constexpr unsigned VScroll = 1u << 6;
inline constexpr unsigned Smooth = 1u << 7;     // progress bar drawn as one bar, not blocks
inline constexpr unsigned AutoToggle = 1u << 8; // check boxes that toggle themselves when clicked
inline constexpr unsigned WordWrap = 1u << 9;   // static text over several lines
} // namespace ControlStyle

struct ControlTemplate
{
    int id = -1; // -1: a control the program never addresses
    ControlKind kind = ControlKind::Static;
    std::string caption;
    DialogRect rect;
    unsigned style = ControlStyle::None;
    int imageId = 0;                // Picture only
    std::vector<std::string> items; // DropDownList only: the initial items, in order
};

enum class DialogKind
{
    Popup, // a window of its own with a caption
    Child, // a borderless window inside its parent
};

struct DialogTemplate
{
    int id = 0;
    DialogKind kind = DialogKind::Popup;
    std::string title;
    int width = 0;  // dialog units
    int height = 0; // dialog units
    std::string fontName;
    int fontPoints = 8;
    bool systemMenu = false;
    bool minimizeBox = false;
    std::vector<ControlTemplate> controls;
};

// The template with this resource id; nullptr when there is none.
const DialogTemplate* FindDialogTemplate(int id);

// The string table entry with this id; empty when there is none.
std::string LoadResourceString(int id);

// The templates one by one (each in its own file).
const DialogTemplate& AboutBoxTemplate();
const DialogTemplate& MainWindowTemplate();
const DialogTemplate& StatusPanelTemplate();
const DialogTemplate& SettingsPanelTemplate();
const DialogTemplate& ScriptPanelTemplate();
const DialogTemplate& SleepDialogTemplate();
