#pragma once
// The point-entry window: the grid of points, the import from a text or
// spreadsheet file, and "&USCITA", which copies the grid into the data set.
#include "common/ui/screenroom.h"
#include "entry/pointimport.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;

namespace calvero {

class PointGridClipboard;
class PointGridModel;

class PointGridWindow : public QDialog {
    Q_OBJECT
public:
    // Where the window's messages go (a modal message box unless replaced).
    using MessageSink = std::function<void(const QString&)>;
    // Asks for the file to import; an empty name means the user cancelled.
    using FileChooser = std::function<QString()>;
    // Told the file whose points have just replaced the grid's.
    using ImportListener = std::function<void(const std::string& path)>;

    // The window edits the grid of target; kind tells whether it shows z.
    PointGridWindow(PointTarget target, const FitType& kind, QWidget* parent = nullptr);

    void setMessageSink(MessageSink sink);
    void setFileChooser(FileChooser chooser);
    void setImportListener(ImportListener listener);

    PointGridModel* gridModel() const { return model_; }
    // Copy, paste and delete of the grid's cells (keys and context menu).
    PointGridClipboard* gridClipboard() const { return clipboard_; }
    // The grid as the user sees it, the fixed row and column included.
    int gridRowCount() const;
    int gridColumnCount() const;
    // The text of header cell `column` (0 is the corner, "punto").
    QString headerCell(int column) const;

    QTableView* pointGrid() const { return pointGrid_; }
    QLabel* ruleLabel() const { return ruleLabel_; }
    QPushButton* exitButton() const { return exitButton_; }
    QPushButton* importButton() const { return importButton_; }
    QLabel* separatorHint() const { return separatorHint_; }
    QLabel* firstRowLabel() const { return firstRowLabel_; }
    QSpinBox* firstRowBox() const { return firstRowBox_; }

    // Set-up at each showing: size, grid columns for the kind, placement,
    // first spreadsheet row 2; the window fills the room of its screen.
    void layOutForRoom(const ScreenRoom& room);

public slots:
    // The set-up for the room the window has now.
    void layOutForScreen();
    // The set-up for a whole screen of that size, without a frame.
    void layOutForScreen(const QSize& screen);
    void finishEntry();
    void importPoints();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMessage(const QString& text);
    void commitOpenEditor();

    QTableView* pointGrid_;
    QLabel* ruleLabel_;          // the end-of-data rule
    QPushButton* exitButton_;
    QPushButton* importButton_;
    QLabel* separatorHint_;
    QLabel* firstRowLabel_;      // the first spreadsheet row's caption
    QSpinBox* firstRowBox_;
    PointTarget target_;
    const FitType& kind_;
    PointGridModel* model_;
    PointGridClipboard* clipboard_;
    MessageSink messageSink_;
    FileChooser fileChooser_;
    ImportListener importListener_;
    RoomKeeper* roomKeeper_;
};

} // namespace calvero
