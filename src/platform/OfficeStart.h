#pragma once

#include <com/sun/star/uno/XComponentContext.hpp>

#include <atomic>

namespace culvex {

// Starts soffice and connects to it as soon as it listens. The soffice is the one of the
// folder UNO_PATH names, or else the one the first soffice on PATH leads to; it starts
// without logo, default document, document recovery or lock check, accepting connections on
// a pipe named for this start. When the user already has an office open, the new soffice
// hands the request to it and ends, and the connection reaches the user's office.
//
// The pipe is tried every few milliseconds, so the connection follows the office's start
// closely, until it answers or `abandoned` is set (the caller stopped waiting), so that no
// attempt outlives the caller's time limit. Failures are thrown as cppu::BootstrapException.
css::uno::Reference<css::uno::XComponentContext> startOffice(const std::atomic<bool>& abandoned);

}  // namespace culvex
