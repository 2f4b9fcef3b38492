#include "output/ClipboardCopy.h"

#include "output/YieldingRows.h"

#include <algorithm>

namespace culvex {

namespace {

constexpr int kClipboardAttempts = 1000;

template <class Attempt>
bool retry(Attempt&& attempt) {
    for (int i = 0; i < kClipboardAttempts; ++i) {
        if (attempt()) {
            return true;
        }
    }
    return false;
}

std::string_view withoutTrailingSpaces(std::string_view row) {
    const std::size_t end = row.find_last_not_of(' ');
    return row.substr(0, end == std::string_view::npos ? 0 : end + 1);
}

// Characters of the finished text, measured first so it is built in one allocation.
qsizetype measuredLength(const ResultsStore& rows, std::size_t count, Yielder& yielder) {
    std::size_t length = 0;
    forEachRowYielding(rows, count, yielder,
                       [&](std::string_view row) { length += row.size() + 2; });
    return static_cast<qsizetype>(length);
}

}  // namespace

bool ClipboardClear(Clipboard& clipboard) {
    return retry([&] { return clipboard.tryClear(); });
}

bool ClipboardSetText(Clipboard& clipboard, const QString& text) {
    return retry([&] { return clipboard.trySetText(text); });
}

// The list is laid out as a table of padded columns with a TAB after each value, then
// the TAB ending a line and the trailing spaces before it are removed. With the results
// list's one column that leaves each row without its trailing spaces, which is what is
// built here directly, so that one very long row does not make every line cost its width.
// A row removed or appended meanwhile changes the length measured first, so the text
// grows when it must. A row has at most as many characters as bytes.
QString clipboardText(const ResultsStore& rows, Yielder& yielder, TextEncoding encoding) {
    const std::size_t count = rows.size();
    QString text(measuredLength(rows, count, yielder), Qt::Uninitialized);
    qsizetype used = 0;
    forEachRowYielding(rows, count, yielder, [&](std::string_view stored) {
        const std::string_view row = withoutTrailingSpaces(stored);
        const qsizetype end = used + static_cast<qsizetype>(row.size()) + 2;
        if (end > text.size()) {
            text.resize(std::max(end, 2 * text.size()));
        }
        char16_t* const begin = reinterpret_cast<char16_t*>(text.data());
        char16_t* out = decodeRowInto(begin + used, row, encoding);
        out[0] = u'\r';
        out[1] = u'\n';
        used = out + 2 - begin;
    });
    text.truncate(used);
    return text;
}

CopyOutcome CopyListviewToClipboard(const ResultsStore& rows, Yielder& yielder,
                                    Clipboard& clipboard, TextEncoding encoding) {
    if (rows.empty()) {
        return CopyOutcome::NothingToCopy;
    }
    const QString text = clipboardText(rows, yielder, encoding);
    ClipboardClear(clipboard);
    return ClipboardSetText(clipboard, text) ? CopyOutcome::Copied : CopyOutcome::ClipboardRefused;
}

}  // namespace culvex
