# Writes CHANGELOG.md as a Debian changelog, the format Debian reads a native package's
# changelog.gz in: one entry a version, newest first, its items wrapped within 80 columns, each
# entry signed by MAINTAINER. "## VERSION - YYYY-MM-DD" is a release of that day; "## Unreleased"
# becomes VERSION+unreleased (VERSION the one being built) for distribution UNRELEASED, dated
# SOURCE_DATE_EPOCH (or now, when it is empty). "### Kind" headings become "Kind:" lines.
# Usage: cmake -DINPUT=CHANGELOG.md -DOUTPUT=changelog -DVERSION=... -DMAINTAINER=...
#              -DSOURCE_DATE_EPOCH=... -P this
cmake_minimum_required(VERSION 3.25)
# string(TIMESTAMP) reads the variable from the environment: the value given, not the one this
# script happens to inherit.
if(SOURCE_DATE_EPOCH STREQUAL "")
    unset(ENV{SOURCE_DATE_EPOCH})
else()
    set(ENV{SOURCE_DATE_EPOCH} "${SOURCE_DATE_EPOCH}")
endif()

# Read as a list of lines, the characters that CMake's lists treat specially held as control
# characters (one column each, so the wrapping counts right) until the text is written.
file(READ "${INPUT}" input)
string(ASCII 1 stand_in_1)
string(ASCII 2 stand_in_2)
string(ASCII 3 stand_in_3)
string(REPLACE ";" "${stand_in_1}" input "${input}")
string(REPLACE "[" "${stand_in_2}" input "${input}")
string(REPLACE "]" "${stand_in_3}" input "${input}")
string(REPLACE "\n" ";" lines "${input}")

function(rfc2822_date out day) # DAY: YYYY-MM-DD, or empty for SOURCE_DATE_EPOCH or now
    if(day STREQUAL "")
        string(TIMESTAMP day "%Y-%m-%d %H:%M:%S" UTC)
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C TZ=UTC
        date -u -d "${day}" "+%a, %d %b %Y %H:%M:%S +0000"
        OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    set(${out} "${date}" PARENT_SCOPE)
endfunction()

set(text "")
set(item "")
set(trailer "")
# Appends the item collected so far, words wrapped at 78 columns after "  * " and "    ".
macro(flush_item)
    if(NOT item STREQUAL "")
        string(REPLACE "`" "" item "${item}")
        string(REGEX REPLACE "[ ]+" ";" words "${item}")
        set(wrapped "  *")
        set(fresh TRUE) # nothing but the indent on the line yet
        foreach(word IN LISTS words)
            string(LENGTH "${wrapped} ${word}" length)
            if(length GREATER 78 AND NOT fresh)
                string(APPEND text "${wrapped}\n")
                set(wrapped "   ")
            endif()
            string(APPEND wrapped " ${word}")
            set(fresh FALSE)
        endforeach()
        string(APPEND text "${wrapped}\n")
        set(item "")
    endif()
endmacro()
macro(close_entry)
    flush_item()
    if(NOT trailer STREQUAL "")
        string(APPEND text "\n${trailer}\n")
    endif()
endmacro()

foreach(line IN LISTS lines)
    if(line MATCHES "^## (.*)$")
        set(heading "${CMAKE_MATCH_1}")
        close_entry()
        if(heading STREQUAL "Unreleased")
            set(entry_version "${VERSION}+unreleased")
            set(distribution UNRELEASED)
            rfc2822_date(date "")
        elseif(heading MATCHES "^([0-9][^ ]*) - ([0-9]+-[0-9]+-[0-9]+)$")
            set(entry_version "${CMAKE_MATCH_1}")
            set(distribution unstable)
            rfc2822_date(date "${CMAKE_MATCH_2}")
        else()
            message(FATAL_ERROR "${INPUT}: a version heading that is neither \"Unreleased\" nor "
                "\"VERSION - YYYY-MM-DD\": ${line}")
        endif()
        if(NOT text STREQUAL "")
            string(APPEND text "\n")
        endif()
        string(APPEND text "numplace (${entry_version}) ${distribution}; urgency=medium\n\n")
        set(trailer " -- ${MAINTAINER}  ${date}")
    elseif(trailer STREQUAL "")
        # The title and the introduction before the first version.
    elseif(line MATCHES "^### (.*)$")
        set(kind "${CMAKE_MATCH_1}")
        flush_item()
        string(APPEND text "  ${kind}:\n")
    elseif(line MATCHES "^- (.*)$")
        set(first "${CMAKE_MATCH_1}")
        flush_item()
        set(item "${first}")
    elseif(line MATCHES "^  +(.*)$")
        string(APPEND item " ${CMAKE_MATCH_1}")
    elseif(NOT line STREQUAL "")
        flush_item()
        set(item "${line}")
    endif()
endforeach()
close_entry()
string(REPLACE "${stand_in_1}" ";" text "${text}")
string(REPLACE "${stand_in_2}" "[" text "${text}")
string(REPLACE "${stand_in_3}" "]" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
