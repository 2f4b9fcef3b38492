#include "output/ClipboardCopy.h"

#include "output/DecodedText.h"
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

// Characters of the finished text, measured first so it is built in one allocation; the
// bar shows both passes as one. Nothing when the user asked to stop.
std::optional<qsizetype> measuredLength(const ResultsStore& rows, std::size_t count,
                                        Yielder& yielder, CommandProgress& progress) {
    std::size_t length = 0;
    const WalkProgress shown{progress, 0, 2 * static_cast<std::int64_t>(count), false};
    if (!forEachRowYielding(rows, count, yielder, shown,
                            [&](std::string_view row) { length += row.size() + 2; })) {
        return std::nullopt;
    }
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
std::optional<QString> clipboardText(const ResultsStore& rows, Yielder& yielder,
                                     CommandProgress& progress, TextEncoding encoding) {
    const std::size_t count = rows.size();
    const std::optional<qsizetype> length = measuredLength(rows, count, yielder, progress);
    if (!length) {
        return std::nullopt;
    }
    QString text(*length, Qt::Uninitialized);
    qsizetype used = 0;
    const auto total = 2 * static_cast<std::int64_t>(count);
    const WalkProgress shown{progress, total / 2, total, true};
    const bool built =
        forEachRowYielding(rows, count, yielder, shown, [&](std::string_view stored) {
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
    if (!built) {
        return std::nullopt;
    }
    text.truncate(used);
    return text;
}

bool copyRow(std::string_view row, Clipboard& clipboard, TextEncoding encoding) {
    ClipboardClear(clipboard);
    return ClipboardSetText(clipboard, rowText(row, encoding));
}

CopyOutcome CopyListviewToClipboard(const ResultsStore& rows, Yielder& yielder,
                                    CommandProgress& progress, Clipboard& clipboard,
                                    TextEncoding encoding) {
    if (rows.empty()) {
        return CopyOutcome::NothingToCopy;
    }
    const std::optional<QString> text = clipboardText(rows, yielder, progress, encoding);
    if (!text) {
        return CopyOutcome::Stopped;
    }
    ClipboardClear(clipboard);
    return ClipboardSetText(clipboard, *text) ? CopyOutcome::Copied : CopyOutcome::ClipboardRefused;
}

}  // namespace culvex
