// The navigation state and the moves between paragraphs and built-in pages: GoToParagraph,
// ShowSpecialPage, the built-in page a rebuild shows, and the start sequence's timer. The
// command handling, the hotwords and the built-in pages move the reader; the page rebuild
// reads the state and calls BuildSpecialPage.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace shell {

enum NavigationMode : int { Follow = 0, Story = 1, Aside = 2 };

// Arrow modes: off (hidden, taps do nothing), a paragraph (target + 1) or a built-in page.
enum ArrowMode : int { ArrowOff = 0, ArrowParagraph = 1, ArrowPage = 2 };

struct Arrow {
    int mode;       // an ArrowMode
    int16_t target;
};

// Built-in pages (SpecialPage).
enum SpecialPageNumber : int {
    NoSpecialPage = 0,
    BookDetailsPage = 1,
    TitlePage = 2,
    PresentsPage = 3,
    ButtonGuidePage = 4,
    SupportPage = 6,
    SoundPage = 7,
};

inline constexpr uint32_t StartSequenceTimer = 1;  // the only timer, on MainWindow
inline constexpr uint32_t StartSequencePeriod = 2000;  // ms each of pages 3 and 2 stays
inline constexpr int TypedAnswerSize = 200;        // 199 characters and the terminator

extern int16_t CurrentParagraph;  // what the next rebuild shows
extern int16_t StoryParagraph;    // the story paragraph to come back to; the state file keeps it
extern bool InStory;              // false while a menu paragraph, an aside or a built-in page is shown
extern int SpecialPage;           // the built-in page the next rebuild shows, or NoSpecialPage
extern bool RebuildNeeded;
extern int32_t ScrollOffset;      // the page's vertical origin: 0 at the top, negative when scrolled
extern Arrow NextArrow;           // the down arrow (command 511)
extern Arrow PreviousArrow;       // the up arrow (command 512)
extern bool ChoiceTaken;          // a page control was acted on since the page was built
extern char TypedAnswer[TypedAnswerSize];  // the text last read from a page edit box

// Puts the navigation state back to a freshly started reader's: paragraph 2 in the story,
// the start sequence next, the arrows off. For tools and tests that start the reader over.
void ResetNavigation();
// Goes to paragraph p (1..713): a story move for mode Story, or for Follow inside the story;
// an aside visit otherwise. The page is rebuilt and painted before the call returns. A
// number outside 1..713 is reported like a paragraph that does not exist and changes nothing.
void GoToParagraph(int16_t paragraph, int mode);
// Sets the state of an aside visit alone: out of the story, at paragraph p; the story
// paragraph stays. Nothing is painted.
void VisitParagraph(int16_t paragraph);
// Shows built-in page n from its top before returning; the paragraph and the story position
// stay. The start sequence's timer stops, since page n takes the place of its next page.
void ShowSpecialPage(int page);
// Builds the built-in page SpecialPage names and moves SpecialPage on (pages 3 and 2 start
// the timer for the next page of the start sequence). Called by the rebuild after the
// display list, the controls, the arrows and the page flags were reset; an unknown number
// builds nothing.
void BuildSpecialPage();
// Handles a tick of the start sequence's timer: stops it and has the page rebuilt and
// painted at once; ScrollOffset stays. The default handling follows in the caller.
void HandleTimer();

}  // namespace shell
