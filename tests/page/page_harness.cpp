// The page tests' fixture.
#include "tests/page/page_harness.h"

#include "page/controls.h"
#include "page/display_list.h"
#include "page/layout.h"
#include "page/line_fit.h"
#include "page/scrolling.h"
#include "shell/navigation.h"
#include "tools/screenshot/page_window.h"

namespace pagetest {

std::string Narrow(const std::u16string& text) {
    std::string out(text.size() + 1, '\0');
    out.resize(static_cast<size_t>(plat::Narrow(text.c_str(), out.data(), static_cast<int32_t>(out.size()))));
    return out;
}

void PageTest::SetUp() {
    window = screenshot::OpenPageWindow(1);
    ASSERT_NE(window, plat::NoWindow);
    origin = screenshot::ClientOnScreen(window);
    measure = plat::CreateCompatibleSurface();
    plat::record::Start();
    StartPage();
}

void PageTest::TearDown() {
    plat::record::Stop();
    plat::DeleteSurface(measure);
    screenshot::ClosePageWindow(window);
}

void PageTest::StartPage() {
    page::ResetDisplayList();
    page::ResetControls();
    page::EmptyPendingLine();
    page::ResetLayoutState();
    page::TakeFontMetrics();
    page::LineHeight = page::TextHeight;
    page::ClientArea = plat::GetClientRect(window);
    shell::ScrollOffset = 0;
}

void PageTest::Paint() {
    plat::record::Clear();
    shell::RebuildNeeded = false;
    screenshot::Repaint(window);
}

void PageTest::Show(int16_t paragraph) {
    plat::record::Clear();
    screenshot::ShowParagraph(window, paragraph);
}

plat::WindowId PageTest::AddButton(int16_t width, int16_t height, bool picture) {
    int16_t n = page::ButtonCount++;
    page::ButtonTable[n].width = width;
    page::ButtonTable[n].height = height;
    // Any live bitmap marks a picture button; its pixels are not looked at here.
    page::ButtonTable[n].bitmap = picture ? plat::LoadBitmap(2002) : 0;
    page::ButtonHandles[n] = plat::CreateControl(plat::ControlClass::Button, u"", plat::StyleChild | plat::ButtonOwnerDraw,
                                                 {0, 0, width, height}, window, page::FirstButtonId + n);
    page::AppendItem(page::Button, n);
    return page::ButtonHandles[n];
}

plat::WindowId PageTest::AddEditBox(int16_t width, int16_t height) {
    int16_t n = page::EditBoxCount++;
    page::EditBoxTable[n].width = width;
    page::EditBoxTable[n].height = height;
    page::EditBoxHandles[n] = plat::CreateControl(plat::ControlClass::Edit, u"", plat::StyleChild | plat::StyleBorder,
                                                  {0, 0, width, height}, window, page::FirstEditBoxId + n);
    page::AppendItem(page::EditBox, n);
    return page::EditBoxHandles[n];
}

plat::Rect PageTest::ControlRect(plat::WindowId control) const {
    plat::Rect r = plat::GetWindowRect(control);
    return {r.left - origin.left, r.top - origin.top, r.right - origin.left, r.bottom - origin.top};
}

std::vector<DrawnText> PageTest::Texts() const {
    std::vector<DrawnText> out;
    for (int32_t i = 0; i < plat::record::Count(); ++i) {
        const plat::record::Record& r = plat::record::At(i);
        // The page draws only in its fonts; controls draw their own text in others.
        if (r.kind != plat::record::Kind::Text || (r.font != page::NormalFont && r.font != page::BoldFont)) continue;
        out.push_back({std::u16string(r.text),
                       {r.rect.left - origin.left, r.rect.top - origin.top, r.rect.right - origin.left,
                        r.rect.bottom - origin.top},
                       r.flags, r.font});
    }
    return out;
}

std::vector<DrawnBitmap> PageTest::Bitmaps() const {
    std::vector<DrawnBitmap> out;
    for (int32_t i = 0; i < plat::record::Count(); ++i) {
        const plat::record::Record& r = plat::record::At(i);
        if (r.kind == plat::record::Kind::Bitmap) {
            out.push_back({r.resourceId, r.rect.left - origin.left, r.rect.top - origin.top});
        }
    }
    return out;
}

std::vector<plat::Rect> PageTest::Inversions() const {
    std::vector<plat::Rect> out;
    for (int32_t i = 0; i < plat::record::Count(); ++i) {
        const plat::record::Record& r = plat::record::At(i);
        if (r.kind == plat::record::Kind::Invert) {
            out.push_back({r.rect.left - origin.left, r.rect.top - origin.top, r.rect.right - origin.left,
                           r.rect.bottom - origin.top});
        }
    }
    return out;
}

int32_t PageTest::Width(const char* text, bool bold) const {
    char16_t wide[page::FitBufferSize];
    int32_t n = plat::Widen(text, wide, page::FitBufferSize);
    plat::SelectFont(measure, bold ? page::BoldFont : page::NormalFont);
    return plat::GetTextExtent(measure, wide, n).width;
}

int32_t PageTest::Height(const char* text, bool bold) const {
    char16_t wide[page::FitBufferSize];
    int32_t n = plat::Widen(text, wide, page::FitBufferSize);
    plat::SelectFont(measure, bold ? page::BoldFont : page::NormalFont);
    return plat::GetTextExtent(measure, wide, n).height;
}

}  // namespace pagetest
