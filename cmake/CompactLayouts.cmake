# cmake -DFOLDER=<res folder> -P CompactLayouts.cmake
# Takes the indentation out of the layout and menu files in FOLDER: the text
# between a tag's end and the next tag when it is a line break and spaces.
# The files stay the same Designer files; read at every start, they parse in
# half the time without it. The texts file (lan.xml) is left as it is.
if(NOT IS_DIRECTORY "${FOLDER}")
    message(FATAL_ERROR "CompactLayouts: no folder \"${FOLDER}\"")
endif()
file(GLOB layouts "${FOLDER}/*.xml")
foreach(layout IN LISTS layouts)
    get_filename_component(name "${layout}" NAME)
    if(name STREQUAL "lan.xml")
        continue()
    endif()
    file(READ "${layout}" text)
    string(REGEX REPLACE ">\n[ \t\r\n]*<" "><" compact "${text}")
    if(NOT compact STREQUAL text)
        file(WRITE "${layout}" "${compact}")
    endif()
endforeach()
