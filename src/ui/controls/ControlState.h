#pragma once
// The rules of the skinned form controls that are not drawing: the check box's state step,
// the drop-down list's entries and popup place, the web link's target and the caption layout
// shared by the check box and the radio button.
#include <string>
#include <vector>

namespace uicontrols {

enum class CheckState { Unchecked, Checked, Grayed };

// unchecked -> grayed (with allowGrayed) or checked; checked -> unchecked; grayed -> checked.
CheckState NextCheckState(CheckState state, bool allowGrayed);

// Right justify: box at the left, text from x 20; left justify: box at the right, text from x 1.
enum class CheckAlignment { LeftJustify, RightJustify };

struct Rect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

struct CheckLayout {
    Rect Box;   // 16 x 16, vertically centred
    Rect Text;  // clipped to the client area
};

inline constexpr int kCheckBoxSize = 16;

// Where the box and the caption of a check box or radio button go in a client area. textWidth
// is the caption's width without its accelerator marker.
CheckLayout LayOutCheck(CheckAlignment alignment, int clientWidth, int clientHeight, int textWidth,
                        int textHeight);

// The caption without its accelerator marker ("&&" stays one "&").
std::string StripAccelerator(const std::string& caption);

// The entries of a drop-down list and the one it shows.
class ComboEntries {
public:
    // Copies the list; the first entry shows (nothing for an empty list). The index is kept.
    void SetItems(std::vector<std::string> items);
    // Shows that entry; past the end, or for an empty list, the text is empty.
    void SetItemIndex(int index);
    // The user chose an entry: true when the index changed (the change event is due).
    bool Choose(int index);

    const std::vector<std::string>& Items() const { return m_items; }
    int ItemIndex() const { return m_itemIndex; }
    const std::string& Text() const { return m_text; }

private:
    std::vector<std::string> m_items;
    int m_itemIndex = 0;
    std::string m_text;
};

inline constexpr int kComboHeight = 21;
inline constexpr int kComboItemHeight = 21;

// The top of the popup list, so that the current entry lies over the control.
int ComboPopupTop(int controlTop, int itemIndex);

enum class LinkType { ltWeb, ltEmail };

// What the shell opens for a link: the web address, or the mailto link of an e-mail address
// (platform/Links.h); empty for a link that is not opened.
std::string LinkTarget(const std::string& link, LinkType type);

}  // namespace uicontrols
