#include "app/mainlayout.h"

namespace calvero {

MainWindowLayout mainWindowLayout(int W, int H)
{
    MainWindowLayout l;
    l.panel1 = {2, part(0.25, H), part(0.45, W), part(0.05, H)};
    l.bitBtn4 = {2, l.panel1.bottom() + 5, part(0.22, W), part(0.05, H)};
    const int column = l.bitBtn4.width;
    l.bitBtn3 = {2, l.bitBtn4.bottom() + 5, column, part(0.05, H)};
    l.speedButton4 = {2, l.bitBtn3.bottom() + 5, column, part(0.07, H)};
    l.speedButton3 = {2, l.speedButton4.bottom() + 5, column, part(0.07, H)};
    l.bitBtn5 = {2, l.speedButton3.bottom() + 5, column, part(0.07, H)};
    l.bitBtn2 = {2, l.bitBtn5.bottom(), column, part(0.09, H)};
    l.bitBtn1 = {l.bitBtn2.right() + 5, l.bitBtn2.top, l.bitBtn2.width, l.bitBtn2.height};
    l.radioGroup1 = {part(0.1, W) + l.panel1.right(), l.panel1.top, part(0.35, W), part(0.35, H)};
    l.label1 = {l.radioGroup1.left, l.radioGroup1.bottom() + 5, part(0.15, W), part(0.05, H)};
    l.label3 = {l.label1.left, l.label1.bottom() + 5, l.label1.width, l.label1.height};
    l.label2 = {l.label1.left, l.label3.bottom() + 5, l.label1.width, l.label1.height};
    l.spinEdit1 = {l.label2.right() + 5, l.label2.top, l.label1.width, l.label1.height};
    l.edit1 = {l.label1.right() + 5, l.label1.top, l.label1.width, l.label1.height};
    l.edit2 = {l.label3.right() + 5, l.label3.top, l.edit1.width, l.edit1.height};
    l.bitBtn10 = {l.bitBtn4.right() + 5, l.bitBtn4.top, column, l.bitBtn4.height};
    l.bitBtn11 = {l.bitBtn10.left, l.bitBtn10.bottom() + 5, column, l.bitBtn4.height};
    l.bitBtn12 = {l.bitBtn11.left, l.bitBtn11.top + l.bitBtn10.height + 5, column, l.bitBtn4.height};
    return l;
}

} // namespace calvero
