#pragma once

#include "controls/ZarnLib.Components.ZarnImgButton.h"

#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QStringList>

// The program's toolbar pictures, drawn in code: the main window's strip
// background, the tile of its top strip and the four state pictures of every
// toolbar button; the list editor's tile and buttons. A button's pictures are
// cut from its strip at the button's place, so they join it without a seam
// when the button sits there.
namespace ToolbarPictures {

// Button names, left to right: "ZarnImgButton1" (the logo, opens the About
// box), "zibLibs", "zibRecAdd", "zibRecEdit", "zibRecDelete", "zibFilter", "zibCalc".
QStringList ButtonNames();

// The list editor's buttons, left to right: "btAdd", "btEdit", "btDelete";
// their pictures carry their labels.
QStringList LibEditorButtonNames();

// The place of a named button on its strip (ZarnImgContainer2's coordinates
// for the main window, the list editor's strip for its buttons); throws
// Exception for an unknown name.
QRect ButtonRect(const QString &buttonName);

// Normal, hover (lighter, with a glow), pressed (darker, shifted by a pixel)
// and disabled (desaturated, faded) pictures of a named button, each of the
// button's size; throws Exception for an unknown name.
TButtonPictures ButtonPictures(const QString &buttonName);

// Background of the button strip (ZarnImgContainer2), 585 × 75.
QPixmap StripBackground();

// Tile of the top strip (ZarnImgContainer1), 101 × 75; tiles without a seam
// and matches the strip background row for row.
QPixmap TopStripTile();

// Tile of the list editor's strip, 24 × 25; matches its buttons row for row.
QPixmap LibEditorTile();

// The program's emblem, a square picture of the given side, on transparency.
QPixmap ProgramLogo(int side);

// The emblem as a window icon, in the usual sizes from 16 to 256 pixels.
QIcon ProgramIcon();

} // namespace ToolbarPictures
