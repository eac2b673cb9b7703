#pragma once
// The report viewer as the main window uses it for Presenter::showReport:
// one ReportWindow created once, shown modally after every calculation.
#include <QPointer>

#include <memory>

class QWidget;

namespace calvero {

class ReportWindow;
struct ReportContent;

class ReportViewer {
public:
    // The viewer belongs to `parent` when one is given, otherwise to this object.
    explicit ReportViewer(QWidget* parent = nullptr);
    ~ReportViewer();
    ReportViewer(const ReportViewer&) = delete;
    ReportViewer& operator=(const ReportViewer&) = delete;

    ReportWindow& window() const;
    // Shows the report modally; returns when the user closes the viewer.
    void showReport(ReportContent report) const;

private:
    std::unique_ptr<ReportWindow> owned_;
    QPointer<ReportWindow> box_;
};

} // namespace calvero
