#pragma once
// The 16 x 16 pictures of the help window's and the report viewer's buttons,
// drawn by the program itself, each with a normal and a greyed (disabled) version.
#include <QIcon>

namespace calvero {

QIcon helpDoorIcon();      // "Esci": an open door
QIcon helpBackArrowIcon(); // "Indietro": an arrow pointing left
QIcon printerIcon();       // "stampa" and "Stampa": a printer

} // namespace calvero
