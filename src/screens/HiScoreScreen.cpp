#include "screens/HiScoreScreen.hpp"

#include "core/KeyCodes.hpp"
#include "core/Palette.hpp"
#include "gfx/Compositing.hpp"
#include "gfx/TextFormat.hpp"
#include "hiscore/HiScore.hpp"

#include <list>
#include <opencv2/imgproc.hpp>

namespace {
const cv::Scalar PANEL_FILL(58, 92, 86);
const cv::Scalar PANEL_BORDER(145, 200, 187);
const int COLUMN_OFFSETS[5] = {0, 180, 290, 390, 450};
const char* const BANNER = "NEW RECORD";

const cv::Scalar& rankColour(int rank) {
    switch (rank) {
    case 0:
        return GOLD;
    case 1:
        return SILVER;
    case 2:
        return BRONZE;
    default:
        return WHITE;
    }
}

// Tested by value: the raw key codes of the window reach far above 255 (arrows, function
// keys), which the character classification functions must never see.
bool isPrintableKey(int key) {
    return key >= 32 && key <= 126;
}

} // namespace

HiScoreScreen::HiScoreScreen() : Screen(570, 255) {
    centre(m_panel);
}

void HiScoreScreen::restAtTop() {
    m_panel.y = -m_height - 20;
    m_panel.mode = HiScoreMode::Table;
}

bool HiScoreScreen::enter(int64_t /*nowMicros*/) {
    restAtTop();
    return true;
}

void HiScoreScreen::update(int /*shift*/, int64_t now) {
    if (m_panel.mode != HiScoreMode::NameEntry) {
        return;
    }
    m_cursor.update(now);
    m_panel.cursorVisible = m_cursor.shown();
}

void HiScoreScreen::draw(cv::Mat& image) {
    paintPanel(image, PANEL_FILL, PANEL_BORDER, 3);

    const Font titleFont(3, 1.0, 2);
    drawOutlinedText(image, "HISCORE", m_width / 2 - titleFont.textWidth("HISCORE") / 2,
                     titleFont.height + 8, titleFont, PANEL_FILL, WHITE);
}

void HiScoreScreen::showTable(const HiScore& table) {
    m_panel.table = table;
}

void HiScoreScreen::drawPanel(cv::Mat& frame, const HiScorePanel& panel) {
    const cv::Point at = corner(frame, panel.x, panel.y);
    drawBackground(frame, panel);
    overlay(m_canvas, frame, at.x, at.y);
    drawHint(frame, at, panel);
}

void HiScoreScreen::drawBackground(cv::Mat& frame, const HiScorePanel& panel) {
    if (panel.mode == HiScoreMode::NameEntry) {
        m_backdropCache.apply(frame, [this](cv::Mat& image) { blurFrameGrey(image, m_grey); });
    }
}

void HiScoreScreen::drawHint(cv::Mat& frame, const cv::Point& at, const HiScorePanel& panel) {
    const int c0 = at.x + 10;
    int rowY = at.y + 41 + m_rowFont.height;
    const char* const titles[5] = {"Name", "Km", "Score", "Hits", "TOTAL"};
    for (int column = 0; column < 5; ++column) {
        drawText(frame, titles[column], c0 + COLUMN_OFFSETS[column], rowY, m_rowFont, BLACK,
                 cv::LINE_8);
    }
    cv::line(frame, cv::Point(c0, rowY + 3), cv::Point(at.x + m_width - 10, rowY + 3), BLACK, 1,
             cv::LINE_8);
    rowY += 5;

    const std::string pendingName = panel.cursorVisible ? panel.typedName + "_" : panel.typedName;
    // The pending row keeps the spacing of its rank's style while drawn larger and bolder.
    auto drawPending = [&](int rank, const Font& style) {
        Font emphasis = style;
        emphasis.scale += 0.2;
        emphasis.thickness += 1;
        drawRow(frame, c0, rowY, panel.pending, pendingName, emphasis, rankColour(rank));
    };

    // A pending result takes its row and pushes the stored ones down; the last stored entry
    // that no longer fits is the one the record will push out.
    const std::list<HiScoreEntry>& entries = panel.table.entries();
    const int maxRows = static_cast<int>(panel.table.maxEntries());
    bool pendingDrawn = false;
    int row = 0;
    for (auto entry = entries.begin(); row < maxRows && entry != entries.end(); ++row) {
        const Font& style = row < 3 ? m_topFont : m_rowFont;
        rowY += style.height + 6;
        if (row == panel.pendingRank) {
            drawPending(row, style);
            pendingDrawn = true;
        } else {
            drawRow(frame, c0, rowY, *entry, entry->name, style, rankColour(row));
            ++entry;
        }
    }
    // Ranked below every stored entry of a table that is not full (or into an empty one).
    if (panel.pendingRank >= 0 && !pendingDrawn && row < maxRows) {
        const Font& style = row < 3 ? m_topFont : m_rowFont;
        rowY += style.height + 6;
        drawPending(row, style);
    }

    if (panel.mode == HiScoreMode::NameEntry) {
        drawBanner(frame);
    }
}

void HiScoreScreen::drawRow(cv::Mat& frame, int c0, int baseline, const HiScoreEntry& entry,
                            const std::string& name, const Font& font,
                            const cv::Scalar& colour) const {
    const std::string texts[5] = {name, toString(entry.length / 1000.0, 2), toString(entry.score),
                                  toString(entry.hits), toString(entry.total)};
    for (int column = 0; column < 5; ++column) {
        drawText(frame, texts[column], c0 + COLUMN_OFFSETS[column], baseline, font, colour,
                 cv::LINE_8);
    }
}

void HiScoreScreen::paintBanner(cv::Mat& frame) const {
    drawOutlinedText(frame, BANNER, frame.cols / 2 - m_bannerFont.textWidth(BANNER) / 2,
                     m_bannerFont.height + 20, m_bannerFont, RED, WHITE);
}

void HiScoreScreen::drawBanner(cv::Mat& frame) {
    const cv::Rect region = bannerRegion(frame.size());
    if (region.empty()) {
        return;
    }
    // The banner is painted onto the whole frame, as it would be without the cache; the
    // cache keeps only its region, which holds every pixel the banner can change.
    cv::Mat view = frame(region);
    m_bannerCache.apply(view, [&](cv::Mat&) { paintBanner(frame); });
}

cv::Rect HiScoreScreen::bannerRegion(const cv::Size& frameSize) {
    if (frameSize != m_bannerFrameSize) {
        // Measured rather than derived from the font metrics: thick anti-aliased strokes and
        // the one-pixel rim reach past the text box the library reports.
        cv::Mat probe(frameSize, CV_8UC3, cv::Scalar::all(0));
        paintBanner(probe);
        cv::Mat anyChannel; // per pixel the largest of its three bytes
        cv::reduce(probe.reshape(1, probe.rows * probe.cols), anyChannel, 1, cv::REDUCE_MAX);
        const cv::Rect box = cv::boundingRect(anyChannel.reshape(1, probe.rows));
        const int margin = 2;
        m_bannerRect = cv::Rect(box.x - margin, box.y - margin, box.width + 2 * margin,
                                box.height + 2 * margin) &
                       cv::Rect(cv::Point(0, 0), frameSize);
        m_bannerFrameSize = frameSize;
        m_bannerCache.clear();
    }
    return m_bannerRect;
}

bool HiScoreScreen::offer(const HiScoreEntry& entry, int64_t now) {
    m_panel.pendingRank = m_panel.table.rank(entry);
    if (m_panel.pendingRank == -1) {
        restAtTop();
        return false;
    }
    m_panel.pending = entry;
    m_panel.typedName.clear();
    // The cursor keeps its state from the last name entry and switches at the first update.
    m_cursor.switchAt(now);
    centre(m_panel);
    m_panel.mode = HiScoreMode::NameEntry;
    return true;
}

NameEntryKey HiScoreScreen::handleKey(int key) {
    if (m_panel.mode != HiScoreMode::NameEntry) {
        return {};
    }
    std::string& name = m_panel.typedName;
    if (key == KEY_ENTER) {
        return confirm();
    }
    if (key == KEY_BACKSPACE) {
        if (!name.empty()) {
            name.pop_back();
        }
    } else if (isPrintableKey(key)) {
        name.push_back(static_cast<char>(key));
    } else {
        return {}; // ESC, arrows and the rest go on to the global keys
    }
    return {NameEntryKey::Edited, {}};
}

NameEntryKey HiScoreScreen::confirm() {
    m_panel.pending.name = m_panel.typedName;
    m_panel.pendingRank = -1;
    restAtTop();
    return {NameEntryKey::Confirmed, m_panel.pending};
}
