#pragma once
// The point-entry window: the grid of points, the import from a text or
// spreadsheet file, and "&USCITA", which copies the grid into the data set.
#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;

namespace calvero {

class PointGridClipboard;
class PointGridModel;

class Tgriglia_input : public QDialog {
    Q_OBJECT
public:
    // Where the window's messages go (a modal message box unless replaced).
    using MessageSink = std::function<void(const QString&)>;
    // Asks for the file to import; an empty name means the user cancelled.
    using FileChooser = std::function<QString()>;

    explicit Tgriglia_input(QWidget* parent = nullptr);

    void setMessageSink(MessageSink sink);
    void setFileChooser(FileChooser chooser);

    PointGridModel* gridModel() const { return model_; }
    // Copy, paste and delete of the grid's cells (keys and context menu).
    PointGridClipboard* gridClipboard() const { return clipboard_; }
    // The grid as the user sees it, the fixed row and column included.
    int gridRowCount() const;
    int gridColumnCount() const;
    // The text of header cell `column` (0 is the corner, "punto").
    QString headerCell(int column) const;

    QTableView* StringGrid1;
    QLabel* Label1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QLabel* Label2;
    QLabel* Label3;
    QSpinBox* SpinEdit1;

public slots:
    // Set-up at each showing: size, grid columns for the kind, placement, SpinEdit1 = 2.
    void inizia();
    void inizia(const QSize& screen);
    void vai_fine();
    void leggipunticsv();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMessage(const QString& text);
    void commitOpenEditor();

    PointGridModel* model_;
    PointGridClipboard* clipboard_;
    MessageSink messageSink_;
    FileChooser fileChooser_;
};

} // namespace calvero
