# The main window on Qt 6 Widgets (included by this folder's CMakeLists.txt).
# All window code but the program entry goes into kvtwindow, so the window
# tests link exactly what the editor runs.
find_package(Qt6 QUIET COMPONENTS Widgets OPTIONAL_COMPONENTS Test)

if(TARGET Qt6::Widgets)
  add_library(kvtwindow STATIC
    ${CMAKE_CURRENT_LIST_DIR}/KVTEditorMain.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTEditorMainForm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTFixedFont.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTTreeItem.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTTreeModel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTTreeColumnWidth.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTFileDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTQtDialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTScriptedDialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTQtReportHandler.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTRecentFilesMenu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTMenuItemLink.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTCommandIcons.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTCommandLine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTStartupProbe.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTControlText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTEditPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTLocStringPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTPanelEvents.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KVTNodeCommands.cpp
    # Listed so that moc sees the Q_OBJECT classes.
    ${CMAKE_CURRENT_LIST_DIR}/KVTEditorMain.h
    ${CMAKE_CURRENT_LIST_DIR}/KVTTreeModel.h
    ${CMAKE_CURRENT_LIST_DIR}/KVTTreeColumnWidth.h
    ${CMAKE_CURRENT_LIST_DIR}/KVTFileDialog.h
    ${CMAKE_CURRENT_LIST_DIR}/KVTStartupProbe.h
  )
  set_target_properties(kvtwindow PROPERTIES AUTOMOC ON)
  target_include_directories(kvtwindow PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(kvtwindow PUBLIC Qt6::Widgets kvtdocument kvtsettings bcglobal bcdebug orobase)

  add_executable(kvteditor ${CMAKE_CURRENT_LIST_DIR}/KVTEditor.cpp)
  set_target_properties(kvteditor PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
  target_link_libraries(kvteditor PRIVATE kvtwindow)
  kvt_guarded_executable(kvteditor)
  kvt_embed_version(kvteditor)
else()
  message(STATUS "Qt 6 Widgets not found: the editor window (kvteditor) is not built")
endif()
