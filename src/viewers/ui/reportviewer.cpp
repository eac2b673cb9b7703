#include "viewers/ui/reportviewer.h"

#include "viewers/ui/reportwindow.h"

namespace calvero {

ReportViewer::ReportViewer(QWidget* parent)
{
    auto* box = new ReportWindow(parent);
    if (parent == nullptr) owned_.reset(box);
    box_ = box;
}

ReportViewer::~ReportViewer() = default;

ReportWindow& ReportViewer::window() const { return *box_; }

void ReportViewer::showReport(ReportContent report) const
{
    if (!box_) return;
    box_->setReport(std::move(report));
    box_->exec(); // filled from the report as it is shown
}

} // namespace calvero
