# The core library must stay free of widgets: it is linked by the command-line
# tool and tested without a display. Linking only Qt Core and Sql keeps the
# plain <QWidget> form out, but <QtWidgets/QWidget> would still resolve through
# Qt's include root, so the sources are scanned before the library is built.

# Writes the list of QtWidgets header names once at configure time.
function(contract_core_include_check target)
  get_target_property(_srcs ${target} SOURCES)
  get_target_property(_srcdir ${target} SOURCE_DIR)
  set(_files "")
  foreach(_s IN LISTS _srcs)
    if(NOT IS_ABSOLUTE "${_s}")
      set(_s "${_srcdir}/${_s}")
    endif()
    if(_s MATCHES "\\.(h|cpp)$")
      list(APPEND _files "${_s}")
    endif()
  endforeach()
  get_target_property(_widgets_inc Qt6::Widgets INTERFACE_INCLUDE_DIRECTORIES)
  set(_wdir "")
  foreach(_d IN LISTS _widgets_inc)
    if(_d MATCHES "QtWidgets$")
      set(_wdir "${_d}")
    endif()
  endforeach()
  set(_list "${CMAKE_BINARY_DIR}/core_include_check_files.txt")
  string(REPLACE ";" "\n" _content "${_files}")
  file(WRITE "${_list}" "${_content}\n")
  add_custom_target(${target}_no_widgets
    COMMAND ${CMAKE_COMMAND} -DFILES_LIST=${_list} -DWIDGETS_DIR=${_wdir}
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckNoWidgets.cmake
    COMMENT "Checking that ${target} includes no Widgets header"
    VERBATIM)
  add_dependencies(${target} ${target}_no_widgets)
endfunction()
