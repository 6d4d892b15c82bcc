#pragma once

#include <QPalette>
#include <QString>

// The palette's colour roles by their two names: the key that sets a role in a skin file's
// header (docs/skin-format.md) and the name a style sheet gives it in palette(...). Where one
// of the two cannot name a role, that name is null.
struct PaletteRoleName {
    QPalette::ColorRole role;
    const char* skinKey;
    const char* sheetName;
};

inline constexpr PaletteRoleName kPaletteRoleNames[] = {
    {QPalette::Window, "Window", "window"},
    {QPalette::WindowText, "WindowText", "window-text"},
    {QPalette::Base, "Base", "base"},
    {QPalette::AlternateBase, "AlternateBase", "alternate-base"},
    {QPalette::Text, "Text", "text"},
    {QPalette::Button, "Button", "button"},
    {QPalette::ButtonText, "ButtonText", "button-text"},
    {QPalette::BrightText, nullptr, "bright-text"},
    {QPalette::Highlight, "Highlight", "highlight"},
    {QPalette::HighlightedText, "HighlightedText", "highlighted-text"},
    {QPalette::ToolTipBase, "ToolTipBase", nullptr},
    {QPalette::ToolTipText, "ToolTipText", nullptr},
    {QPalette::Light, "Light", "light"},
    {QPalette::Midlight, "Midlight", "midlight"},
    {QPalette::Mid, "Mid", "mid"},
    {QPalette::Dark, "Dark", "dark"},
    {QPalette::Shadow, "Shadow", "shadow"},
    {QPalette::Link, "Link", "link"},
    {QPalette::LinkVisited, "LinkVisited", "link-visited"},
    {QPalette::PlaceholderText, "PlaceholderText", nullptr},
};

// `sheet` with every palette(role) it names written as that role's colour in `palette`. Qt
// reads palette(role) against the palette a widget has when it is polished; a resolved sheet
// keeps the colours of `palette` whatever palette the widget is given later.
QString resolvePaletteRoles(QString sheet, const QPalette& palette);
