#pragma once
// The window of digitora: a picture of a graph, its axes calibrated by four
// reference points, and curves whose points are placed by hand or found by
// colour; the points go to a text file CALVERO1 imports, to the clipboard,
// or with the whole capture to a session file.
#include "capture/axisfinder.h"
#include "capture/capturedocument.h"
#include "capture/pixelbuffer.h"
#include "capture/pointexport.h"
#include "capture/textreader.h"
#include "capture/ui/axesconfirmdialog.h"
#include "capture/ui/captureview.h"
#include "common/ui/screenroom.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace calvero {

class CurveList;

class CaptureWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit CaptureWindow(QWidget* parent = nullptr);

    // What the window asks the user; tests answer in their place.
    enum class FileRequest { OpenPicture, OpenSession, SaveSession, SavePoints };
    using MessageSink = std::function<void(const QString&)>;
    using FileChooser = std::function<QString(FileRequest)>;
    // The value of a reference point (label "x1" ...), or nothing when cancelled.
    using ValueAsker = std::function<std::optional<QString>(const QString& label, const QString& current)>;
    // The page of a PDF of pageCount pages, or nothing when cancelled.
    using PageAsker = std::function<std::optional<int>(int pageCount)>;
    // The resolution (dots per inch) to render a PDF page at, or nothing when cancelled.
    using ResolutionAsker = std::function<std::optional<double>(double current)>;
    using Confirmer = std::function<bool(const QString& question)>;
    // The axes read from the tick labels, for the user to confirm or correct:
    // the four values as left, or nothing when cancelled.
    using AxesConfirmer = std::function<std::optional<std::array<QString, 4>>(const std::array<ReadReference, 4>& read,
                                                                              const QString& scales)>;
    void setMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }
    void setFileChooser(FileChooser chooser) { fileChooser_ = std::move(chooser); }
    void setValueAsker(ValueAsker asker) { valueAsker_ = std::move(asker); }
    void setPageAsker(PageAsker asker) { pageAsker_ = std::move(asker); }
    void setResolutionAsker(ResolutionAsker asker) { resolutionAsker_ = std::move(asker); }
    void setConfirmer(Confirmer confirmer) { confirmer_ = std::move(confirmer); }
    void setAxesConfirmer(AxesConfirmer confirmer) { axesConfirmer_ = std::move(confirmer); }
    // 1200 x 800 where the screen has room, else the room it has; at each
    // showing. On a low screen the side panel's groups scroll.
    void layOutForRoom(const ScreenRoom& room);
    // What reads the tick labels (Tesseract unless a test gives another).
    void setTextReader(std::shared_ptr<const capture::TextReader> reader) { textReader_ = std::move(reader); }

    // Commands; each shows a message and changes nothing when it cannot be done.
    bool openPicture(const QString& path);
    bool pastePicture();
    void startReferences();
    // "leggi gli assi dai numeri": the references from the tick labels, once the user confirms them.
    void readAxes();
    void findByColour();
    void savePoints();
    // "Invia a CALVERO1": the points into the grid of the CALVERO1 that started
    // this window, or a new CALVERO1 opened with them.
    void sendToCalvero();
    // How a new CALVERO1 is started with a point file (tests replace it).
    using CalveroStarter = std::function<bool(const QString& program, const QString& pointFile)>;
    void setCalveroStarter(CalveroStarter starter) { calveroStarter_ = std::move(starter); }
    // How savePoints writes: CALVERO1's form, or with the decimal comma for a
    // spreadsheet in Italian, with or without a header line, values apart by
    // semicolons or tabs.
    void setPointFormat(char decimalMark, bool header, char separator = ';');
    void copyPoints();
    // Only the points of the curve chosen in the list.
    void copyCurvePoints();
    void saveSession();
    void openSession();
    void undo();
    void redo();
    void addCurve();
    void removeCurve();

    const capture::CaptureDocument& document() const { return document_; }
    const capture::PixelBuffer& picture() const { return picture_; }
    CaptureView* view() const { return view_; }
    int currentCurve() const { return currentCurve_; }
    void setCurrentCurve(int curve);
    QString statusText() const;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createActions();
    QWidget* createSidePanel();

    void showMessage(const QString& text);
    // Where the picture of a session is now: where it was, beside the session,
    // or where the user finds it; empty when it cannot be found.
    QString sessionPicture(const QString& sessionPath, const QString& saved);
    bool confirmLosingWork();
    // A new picture with the capture given, or else with one empty curve.
    void takePicture(capture::PixelBuffer picture, const QString& path, int page, double dpi,
                     std::optional<capture::CaptureState> capture = std::nullopt);
    void refresh();
    void changed(bool accepted);
    capture::PixelPoint pixelOf(QPointF at) const { return {at.x(), at.y()}; }

    // The mouse on the picture.
    void pointAdded(QPointF at);
    void pointMoved(int index, QPointF to);
    void pointRemoved(int index);
    void referencePlaced(QPointF at);
    void referenceMoved(int which, QPointF to);
    void colourPicked(QPointF at);
    void exclusionDrawn(QRectF rectangle);
    void cursorMoved(QPointF at);
    void scaleToggled();
    void setTool(CaptureView::Tool tool);

    // The four references as the user is placing them.
    capture::AxesReferences draftReferences() const;
    std::optional<QString> askValue(int which);
    bool applyReferences(const capture::AxesReferences& references);

    capture::CaptureDocument document_;
    capture::PixelBuffer picture_;
    QString picturePath_;
    int page_ = 1;
    double dpi_ = capture::DefaultDpi;
    bool unsaved_ = false;
    capture::TextFormat pointFormat_;
    QAction* decimalComma_ = nullptr;
    QAction* headerLine_ = nullptr;
    QAction* tabSeparator_ = nullptr;
    int currentCurve_ = 0;

    // References being placed: which one the next click places (-1 none), and
    // the points and values given so far.
    int placing_ = -1;
    std::array<std::optional<capture::PixelPoint>, 4> draftPoints_;
    std::array<double, 4> draftValues_{};
    // Whether the drafts are axes read from the labels, awaiting the user's word.
    bool checkingFound_ = false;
    // The charts of a page of several, read, while the user clicks the one meant.
    std::vector<capture::FoundAxes> chartsToChoose_;
    void confirmAxes(const capture::FoundAxes& found);

    std::optional<capture::Rgb> pickedColour_;
    std::optional<capture::PixelPoint> colourSeed_;

    CaptureView* view_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    CurveList* curveList_ = nullptr;
    QCheckBox* logX_ = nullptr;
    QCheckBox* logY_ = nullptr;
    QLabel* axesState_ = nullptr;
    QLabel* colourSwatch_ = nullptr;
    QDoubleSpinBox* tolerance_ = nullptr;
    QSpinBox* pointCount_ = nullptr;
    QCheckBox* markers_ = nullptr;
    QPushButton* handButton_ = nullptr;
    QPushButton* pickButton_ = nullptr;
    QPushButton* exclusionButton_ = nullptr;
    QLabel* cursorLabel_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;

    MessageSink messageSink_;
    FileChooser fileChooser_;
    CalveroStarter calveroStarter_;
    ValueAsker valueAsker_;
    PageAsker pageAsker_;
    ResolutionAsker resolutionAsker_;
    Confirmer confirmer_;
    AxesConfirmer axesConfirmer_;
    std::shared_ptr<const capture::TextReader> textReader_;
};

} // namespace calvero
