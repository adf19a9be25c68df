# Source lists by folder. A folder may hold core files and desktop files side by side; the desktop
# files (windows, pages, widgets, dialogs and the Qt services) are told apart by their names.
set(TARVO_GUI_NAME_REGEX "(_window|_page|_widget|_dialog|_qt|_gui)\\.(cpp|h)$")

# tarvo_collect(<out-var> <core|gui> <dir>...): the .cpp files of the folders, core or desktop ones.
function(tarvo_collect out kind)
  set(result)
  foreach(dir IN LISTS ARGN)
    file(GLOB files CONFIGURE_DEPENDS "${dir}/*.cpp")
    foreach(f IN LISTS files)
      if(f MATCHES "${TARVO_GUI_NAME_REGEX}")
        if(kind STREQUAL "gui")
          list(APPEND result "${f}")
        endif()
      elseif(kind STREQUAL "core")
        list(APPEND result "${f}")
      endif()
    endforeach()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()
