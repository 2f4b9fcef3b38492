#pragma once

#include "engine/ResultsStore.h"
#include "engine/TextEncoding.h"
#include "platform/Clipboard.h"
#include "platform/CommandProgress.h"
#include "platform/Yielder.h"

#include <QString>
#include <optional>

namespace culvex {

// Each retries its clipboard operation while another program holds the clipboard, up to
// 1000 attempts; true when an attempt succeeded.
bool ClipboardClear(Clipboard& clipboard);
bool ClipboardSetText(Clipboard& clipboard, const QString& text);

// The clipboard text of the results list: every row without its trailing spaces, read in
// `encoding`, followed by CR LF. Yields once per row in each of its two passes; throws
// std::out_of_range when the list loses rows while it yields. Nothing when the user
// asked to stop while it yielded.
std::optional<QString> clipboardText(const ResultsStore& rows, Yielder& yielder,
                                     CommandProgress& progress, TextEncoding encoding);

// Places one whole row, read in `encoding`, on the clipboard; false when the clipboard
// stayed busy.
bool copyRow(std::string_view row, Clipboard& clipboard, TextEncoding encoding);

enum class CopyOutcome { NothingToCopy, Copied, ClipboardRefused, Stopped };

// Builds the text and places it on the clipboard. An empty list, and a stop asked for
// while the text is built, leave the clipboard as it was.
CopyOutcome CopyListviewToClipboard(const ResultsStore& rows, Yielder& yielder,
                                    CommandProgress& progress, Clipboard& clipboard,
                                    TextEncoding encoding);

}  // namespace culvex
