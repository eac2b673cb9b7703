#pragma once
// The windows a calculation shows: messages in a modal box (refusals and
// errors with the warning icon, confirmations with the information icon),
// the report viewer, then the graph window.
#include "app/frontend.h"

#include <functional>

class QWidget;

namespace calvero {

struct Document;
class ReportViewer;
class GraphWindow;

class WindowPresenter : public Presenter {
public:
    using MessageSink = std::function<void(const std::string&)>;

    // The report and the graph are those of the document's last calculation.
    WindowPresenter(QWidget& owner, const Document& document, ReportViewer& report, GraphWindow& graph);

    void showMessage(const std::string& text) override;
    void showNotice(const std::string& text) override;
    void showReport() override;
    void showGraph(const std::string& caption) override;

    // Replaces the modal message boxes, refusals and confirmations alike
    // (window tests record the messages).
    void setMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }

private:
    // The window a message box belongs to: the modal one open, else the main window.
    QWidget* messageParent() const;

    QWidget& owner_;
    const Document& document_;
    ReportViewer& report_;
    GraphWindow& graph_;
    MessageSink messageSink_;
};

} // namespace calvero
