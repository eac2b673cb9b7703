#pragma once
// The graph as a picture file or on the clipboard: drawn by the same pass as
// the graph window, at the window's size. Every picture is written through
// writeWholeFile: a failure is reported in Italian and keeps the old file.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace calvero {

struct GraphState;

// The picture of the graph window's pass at width x height in the format of
// the file's ending (.png, .svg or .pdf, in any case), written to the file.
// Empty on success; otherwise the message for the user, and an existing file
// of that name is left as it was.
QString saveGraphPicture(GraphState& s, const QString& fileName, int width, int height);

// The PNG file's bytes of the picture (calvero1-batch --png writes them
// whatever the file's name); empty when it could not be drawn.
QByteArray graphPng(GraphState& s, int width, int height);

// Why there is no picture when graphPng gave nothing.
inline constexpr const char* UndrawnGraphMessage = "impossibile comporre l'immagine del grafico";

// The file endings saveGraphPicture takes, as a file dialog's filter.
QString graphPictureFilter();

} // namespace calvero
