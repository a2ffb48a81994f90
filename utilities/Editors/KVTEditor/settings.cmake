# Settings, recent files and the external hex editor (included by this
# folder's CMakeLists.txt). No Qt: the window and the tool both use it.
add_library(kvtsettings STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Kvtoptions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecentFileList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HexEditorLauncher.cpp
)
target_include_directories(kvtsettings PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(kvtsettings PUBLIC orobase kvtplatform)
