# LibreOffice Calc through UNO, for the spreadsheet export.
#
# When the LibreOffice SDK is found (Debian: libreoffice-dev), the C++ headers of the office
# API are generated at build time with cppumaker from the office's type databases, and the
# target culvex_uno carries them with the UNO compile flags, libraries and an rpath to the
# office's program folder. CULVEX_HAVE_LIBREOFFICE tells the rest of the build which
# spreadsheet implementation to compile.

option(CULVEX_LIBREOFFICE "Drive LibreOffice Calc for the spreadsheet export when its SDK is found" ON)

set(CULVEX_HAVE_LIBREOFFICE OFF)
if(NOT CULVEX_LIBREOFFICE)
    return()
endif()

set(LIBREOFFICE_ROOT "/usr/lib/libreoffice" CACHE PATH "LibreOffice installation folder")
find_program(LIBREOFFICE_CPPUMAKER cppumaker HINTS "${LIBREOFFICE_ROOT}/sdk/bin" NO_DEFAULT_PATH)
find_path(LIBREOFFICE_INCLUDE_DIR cppuhelper/bootstrap.hxx
    HINTS "${LIBREOFFICE_ROOT}/sdk/include" /usr/include/libreoffice)
find_file(LIBREOFFICE_TYPES_RDB types.rdb HINTS "${LIBREOFFICE_ROOT}/program" NO_DEFAULT_PATH)
find_file(LIBREOFFICE_OFFAPI_RDB offapi.rdb HINTS "${LIBREOFFICE_ROOT}/program/types" NO_DEFAULT_PATH)
set(_culvex_uno_libraries)
foreach(_lib uno_cppuhelpergcc3 uno_cppu uno_salhelpergcc3 uno_sal)
    find_library(LIBREOFFICE_LIB_${_lib} ${_lib} HINTS "${LIBREOFFICE_ROOT}/sdk/lib" NO_DEFAULT_PATH)
    list(APPEND _culvex_uno_libraries LIBREOFFICE_LIB_${_lib})
endforeach()

foreach(_required LIBREOFFICE_CPPUMAKER LIBREOFFICE_INCLUDE_DIR LIBREOFFICE_TYPES_RDB
                  LIBREOFFICE_OFFAPI_RDB ${_culvex_uno_libraries})
    if(NOT ${_required})
        message(STATUS "LibreOffice SDK not found (${_required}): spreadsheet export disabled")
        return()
    endif()
endforeach()
message(STATUS "LibreOffice SDK found: spreadsheet export through LibreOffice Calc")
set(CULVEX_HAVE_LIBREOFFICE ON)

# The office API types the program and its tests use; cppumaker adds what they depend on.
set(_culvex_uno_types
    com.sun.star.awt.XTopWindow
    com.sun.star.awt.XWindow
    com.sun.star.beans.PropertyValue
    com.sun.star.beans.XMultiPropertySet
    com.sun.star.beans.XPropertySet
    com.sun.star.beans.XPropertyState
    com.sun.star.bridge.UnoUrlResolver
    com.sun.star.connection.NoConnectException
    com.sun.star.container.XIndexAccess
    com.sun.star.container.XNameAccess
    com.sun.star.container.XNamed
    com.sun.star.document.XActionLockable
    com.sun.star.document.XUndoManagerSupplier
    com.sun.star.frame.Desktop
    com.sun.star.frame.XComponentLoader
    com.sun.star.frame.XController
    com.sun.star.frame.XDesktop2
    com.sun.star.frame.XFrame
    com.sun.star.frame.XLoadable
    com.sun.star.frame.XModel
    com.sun.star.lang.DisposedException
    com.sun.star.io.SequenceInputStream
    com.sun.star.sheet.XCellRangeAddressable
    com.sun.star.sheet.CellFlags
    com.sun.star.sheet.XCellRangeData
    com.sun.star.sheet.XCellRangesQuery
    com.sun.star.sheet.XSheetCellRanges
    com.sun.star.sheet.XSpreadsheet
    com.sun.star.sheet.XSpreadsheetDocument
    com.sun.star.sheet.XSpreadsheets2
    com.sun.star.sheet.XSpreadsheetView
    com.sun.star.style.XStyleFamiliesSupplier
    com.sun.star.table.CellContentType
    com.sun.star.table.XCell
    com.sun.star.table.XCellRange
    com.sun.star.table.XColumnRowRange
    com.sun.star.table.XTableColumns
    com.sun.star.table.XTableRows
    com.sun.star.text.XText
    com.sun.star.uno.DeploymentException
    com.sun.star.uno.XComponentContext
    com.sun.star.util.XCloseable
    com.sun.star.util.XNumberFormats
    com.sun.star.util.XNumberFormatsSupplier
    com.sun.star.util.XReplaceable
    com.sun.star.util.XReplaceDescriptor
    com.sun.star.view.XViewSettingsSupplier
)
set(_culvex_uno_type_options)
foreach(_type ${_culvex_uno_types})
    list(APPEND _culvex_uno_type_options "-T${_type}")
endforeach()

# cppumaker wants an absolute output folder.
set(CULVEX_UNO_HEADERS "${CMAKE_BINARY_DIR}/uno-headers")
set(_culvex_uno_stamp "${CULVEX_UNO_HEADERS}/generated.stamp")
add_custom_command(
    OUTPUT "${_culvex_uno_stamp}"
    COMMAND "${LIBREOFFICE_CPPUMAKER}" -Gc "-O${CULVEX_UNO_HEADERS}" ${_culvex_uno_type_options}
            "${LIBREOFFICE_TYPES_RDB}" "${LIBREOFFICE_OFFAPI_RDB}"
    COMMAND "${CMAKE_COMMAND}" -E touch "${_culvex_uno_stamp}"
    DEPENDS "${LIBREOFFICE_TYPES_RDB}" "${LIBREOFFICE_OFFAPI_RDB}"
    COMMENT "Generating the LibreOffice API headers with cppumaker"
    VERBATIM)
add_custom_target(culvex_uno_headers DEPENDS "${_culvex_uno_stamp}")

get_filename_component(LIBREOFFICE_PROGRAM_DIR "${LIBREOFFICE_TYPES_RDB}" DIRECTORY)
add_library(culvex_uno INTERFACE)
add_dependencies(culvex_uno culvex_uno_headers)
target_include_directories(culvex_uno SYSTEM INTERFACE "${LIBREOFFICE_INCLUDE_DIR}" "${CULVEX_UNO_HEADERS}")
target_compile_definitions(culvex_uno INTERFACE UNX LINUX CPPU_ENV=gcc3)
# UNO's bridges build the proxies' virtual tables at run time, without type information the
# sanitizer's virtual-pointer check could recognise.
if(CULVEX_SANITIZE)
    target_compile_options(culvex_uno INTERFACE -fno-sanitize=vptr)
endif()
foreach(_lib ${_culvex_uno_libraries})
    target_link_libraries(culvex_uno INTERFACE "${${_lib}}")
endforeach()
target_link_options(culvex_uno INTERFACE "LINKER:-rpath,${LIBREOFFICE_PROGRAM_DIR}")
