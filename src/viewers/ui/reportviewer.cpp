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

void ReportViewer::showReport() const
{
    if (box_) box_->exec(); // filled from the report buffer as it is shown
}

} // namespace calvero
