#pragma once
// The point grid's clipboard: Ctrl+C copies the selected cells as
// tab-separated text, Ctrl+V pastes a block copied from a spreadsheet or a
// text editor from the current cell down and right, Delete empties the
// selected cells. The three are also the grid's context menu.
#include <QObject>

#include <functional>

class QAction;
class QTableView;

namespace calvero {

class PointGridClipboard : public QObject {
    Q_OBJECT
public:
    // Where the paste's messages go.
    using MessageSink = std::function<void(const QString&)>;

    PointGridClipboard(QTableView* view, MessageSink sink);

    QAction* copyAction;
    QAction* pasteAction;
    QAction* deleteAction;

public slots:
    void copy();
    void paste();
    void clearCells();

private:
    QTableView* view_;
    MessageSink messageSink_;
};

} // namespace calvero
