# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Configures and builds the timecode folder as a project of its own, with no Qt on the search
# path, and fails if anything in the result refers to Qt.
file(REMOVE_RECURSE ${BINARY_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BINARY_DIR}
                        -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=/nonexistent
                RESULT_VARIABLE configured)
if(NOT configured EQUAL 0)
    message(FATAL_ERROR "the timecode library does not configure on its own")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY_DIR} RESULT_VARIABLE built)
if(NOT built EQUAL 0)
    message(FATAL_ERROR "the timecode library does not build on its own")
endif()
file(GLOB_RECURSE outputs ${BINARY_DIR}/*.a ${BINARY_DIR}/*.so ${BINARY_DIR}/*.o)
foreach(output ${outputs})
    file(STRINGS ${output} qtMentions REGEX "Q(String|Object|ByteArray)|libQt6")
    if(qtMentions)
        message(FATAL_ERROR "${output} refers to Qt")
    endif()
endforeach()
if(NOT outputs)
    message(FATAL_ERROR "the standalone build produced nothing")
endif()
