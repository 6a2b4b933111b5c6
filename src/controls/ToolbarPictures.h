#pragma once

#include "controls/ZarnLib.Components.ZarnImgButton.h"

#include <QPixmap>
#include <QRect>
#include <QString>
#include <QStringList>

// The main window's toolbar pictures, drawn in code: the strip background,
// the tile of the top strip and the four state pictures of every toolbar
// button. A button's pictures are cut from the strip background at the
// button's place, so they join it without a seam when the button sits there.
namespace ToolbarPictures {

// Button names, left to right: "ZarnImgButton1" (the logo, opens the About
// box), "zibLibs", "zibRecAdd", "zibRecEdit", "zibRecDelete", "zibFilter", "zibCalc".
QStringList ButtonNames();

// The place of a named button on the strip (ZarnImgContainer2's coordinates);
// throws Exception for an unknown name.
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

// The program's emblem, a square picture of the given side, on transparency.
QPixmap ProgramLogo(int side);

} // namespace ToolbarPictures
