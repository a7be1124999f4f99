// Scrolling and screen fitting: PageSize, ScrollMax and the size handling. The scroll
// messages, the scroll keys and the input panel check join this file with the scrolling work.
#include "page/scrolling.h"

namespace page {

int32_t PageSize = 0;
int32_t ScrollMax = 400;

void ResizePage(plat::WindowId window, int32_t /*width*/, int32_t height) {
    PageSize = height - CommandBarAllowance;
    plat::ScrollInfo info = {};
    info.mask = plat::ScrollRange | plat::ScrollPage | plat::ScrollDisableNoScroll;
    info.minimum = 0;
    info.maximum = ScrollMax;
    info.page = PageSize;
    plat::SetScrollInfo(window, info, true);
}

}  // namespace page
