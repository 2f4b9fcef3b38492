#include "platform/OfficeStart.h"

#include <osl/process.h>
#include <osl/thread.h>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <osl/file.hxx>
#include <osl/security.hxx>
#include <rtl/bootstrap.hxx>

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

namespace culvex {

namespace uno = css::uno;
using uno::Reference;

namespace {

// How long to wait between attempts to reach an office that does not listen yet.
constexpr std::chrono::milliseconds kRetryInterval{10};

// The folder that holds the office's programs: UNO_PATH, or else the folder of the file that
// the first soffice found on PATH is, or links to.
std::optional<std::string> officeProgramFolder() {
    const char* given = std::getenv("UNO_PATH");
    if (given != nullptr && *given != '\0') {
        return given;
    }
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr ? path : "";
    while (!rest.empty()) {
        const std::string_view folder = rest.substr(0, rest.find(':'));
        rest.remove_prefix(std::min(rest.size(), folder.size() + 1));
        if (folder.empty()) {
            continue;
        }
        const std::string program = std::string(folder) + "/soffice";
        char resolved[PATH_MAX];
        if (::access(program.c_str(), F_OK) == 0 && ::realpath(program.c_str(), resolved)) {
            const std::string file = resolved;
            return file.substr(0, file.rfind('/'));
        }
    }
    return std::nullopt;
}

// The folder as a file URL ending in a slash.
rtl::OUString folderUrl(const std::string& folder) {
    rtl::OUString systemPath;
    if (!rtl_convertStringToUString(
            &systemPath.pData, folder.data(), static_cast<sal_Int32>(folder.size()),
            osl_getThreadTextEncoding(),
            RTL_TEXTTOUNICODE_FLAGS_UNDEFINED_ERROR | RTL_TEXTTOUNICODE_FLAGS_MBUNDEFINED_ERROR |
                RTL_TEXTTOUNICODE_FLAGS_INVALID_ERROR)) {
        throw cppu::BootstrapException("bad characters in soffice installation path!");
    }
    rtl::OUString url;
    if (osl::FileBase::getFileURLFromSystemPath(systemPath, url) != osl::FileBase::E_None) {
        throw cppu::BootstrapException("cannot convert soffice installation path to URL!");
    }
    return url.endsWith("/") ? url : url + "/";
}

// A pipe name no other start uses.
rtl::OUString newPipeName() {
    std::random_device random;
    std::string name = "uno";
    for (int i = 0; i < 4; ++i) {
        name += std::to_string(random());
    }
    return rtl::OUString::createFromAscii(name.c_str());
}

void launch(const rtl::OUString& programs, const rtl::OUString& pipe) {
    rtl::OUString arguments[] = {"--nologo", "--nodefault", "--norestore", "--nolockcheck",
                                 "--accept=pipe,name=" + pipe + ";urp;"};
    rtl_uString* argumentData[std::size(arguments)];
    for (std::size_t i = 0; i < std::size(arguments); ++i) {
        argumentData[i] = arguments[i].pData;
    }
    const osl::Security security;
    oslProcess process = nullptr;
    switch (osl_executeProcess(rtl::OUString(programs + "soffice").pData, argumentData,
                               std::size(arguments), osl_Process_DETACHED, security.getHandle(),
                               nullptr, nullptr, 0, &process)) {
        case osl_Process_E_None:
            osl_freeProcessHandle(process);
            return;
        case osl_Process_E_NotFound:
            throw cppu::BootstrapException("image not found!");
        case osl_Process_E_TimedOut:
            throw cppu::BootstrapException("timeout occurred!");
        case osl_Process_E_NoPermission:
            throw cppu::BootstrapException("permission denied!");
        case osl_Process_E_Unknown:
            throw cppu::BootstrapException("unknown error!");
        default:
            throw cppu::BootstrapException("unmapped error!");
    }
}

// This process's own UNO runtime, from the office's installation unless told otherwise.
Reference<uno::XComponentContext> localContext(const rtl::OUString& programs) {
    rtl::OUString configured;
    if (!rtl::Bootstrap::get("URE_BOOTSTRAP", configured)) {
        rtl::Bootstrap::set("URE_BOOTSTRAP", rtl::Bootstrap::encode(programs + "fundamentalrc"));
    }
    Reference<uno::XComponentContext> context = cppu::defaultBootstrap_InitialComponentContext();
    if (!context.is()) {
        throw cppu::BootstrapException("no local component context!");
    }
    return context;
}

// Tries the pipe until the office answers on it. A busy office, such as the user's open office
// taking over this start, may drop the first connection: that one is tried once more.
Reference<uno::XComponentContext> connectWhenListening(
    const Reference<uno::XComponentContext>& local, const rtl::OUString& pipe,
    const std::atomic<bool>& abandoned) {
    const Reference<css::bridge::XUnoUrlResolver> resolver =
        css::bridge::UnoUrlResolver::create(local);
    const rtl::OUString address = "uno:pipe,name=" + pipe + ";urp;StarOffice.ComponentContext";
    bool droppedOnce = false;
    for (;;) {
        try {
            return {resolver->resolve(address), uno::UNO_QUERY_THROW};
        } catch (const css::connection::NoConnectException&) {
        } catch (const css::lang::DisposedException&) {
            if (std::exchange(droppedOnce, true)) {
                throw;
            }
        }
        if (abandoned) {
            throw cppu::BootstrapException("no longer awaited");
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
}

}  // namespace

Reference<uno::XComponentContext> startOffice(const std::atomic<bool>& abandoned) {
    try {
        const std::optional<std::string> folder = officeProgramFolder();
        if (!folder) {
            throw cppu::BootstrapException("no soffice installation found!");
        }
        const rtl::OUString programs = folderUrl(*folder);
        const rtl::OUString pipe = newPipeName();
        // The office starts while this process sets up its own side of the connection.
        launch(programs, pipe);
        return connectWhenListening(localContext(programs), pipe, abandoned);
    } catch (const uno::Exception& e) {
        throw cppu::BootstrapException("unexpected UNO exception caught: " + e.Message);
    }
}

}  // namespace culvex
