#pragma once
// The 16 x 16 pictures of the main window's buttons, drawn here so the
// program needs no image files. QIcon derives the greyed version shown when
// a button is disabled.
#include <QIcon>

namespace calvero {

enum class ButtonPicture {
    DiskSave,        // a document going down into a diskette
    DocumentStar,    // a document with a bright star
    ArrowIntoList,   // an arrow pointing into a column of entries
    IndexCards,      // a box of index cards
    Eraser,
    Calculator,
    OpenBook,
    LineChart,
    Globe,
};

QIcon buttonPicture(ButtonPicture subject);

} // namespace calvero
