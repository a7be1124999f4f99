// The navigation state and the moves between paragraphs and built-in pages.
#pragma once

#include <cstdint>

namespace shell {

enum NavigationMode : int { Follow = 0, Story = 1, Aside = 2 };

struct Arrow {
    int mode;       // 0 off, 1 paragraph target + 1, 2 built-in page target
    int16_t target;
};

extern int16_t CurrentParagraph;
extern int16_t StoryParagraph;
extern bool InStory;
extern int SpecialPage;
extern bool RebuildNeeded;
extern int32_t ScrollOffset;
extern Arrow NextArrow;
extern Arrow PreviousArrow;
extern bool ChoiceTaken;

// Goes to paragraph p: a story move for mode Story (or Follow inside the story), an aside
// visit otherwise; then the page is rebuilt and painted before the call returns. A number
// outside 1..713 is reported like a paragraph that does not exist and changes nothing.
void GoToParagraph(int16_t paragraph, int mode);
void VisitParagraph(int16_t paragraph);

}  // namespace shell
