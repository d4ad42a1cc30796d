# The Qt layer: the main window and the executable.
add_library(tv_shell STATIC
  frmUnzip.cpp
  frmUnzip.h
  frmUnzip_events.cpp
  frmUnzip_commands.cpp
  listing_model.cpp
  listing_model.h
  file_icons.cpp
  qt_message_box.cpp
  frmAbout.cpp
  help_window.cpp
  tool_pump.cpp
)
target_link_libraries(tv_shell PUBLIC tv_shell_core tv_dialogs tv_settings_ui Qt6::Widgets)
set_target_properties(tv_shell PROPERTIES AUTOMOC ON)
qt_add_resources(tv_shell "tessel_icons" PREFIX "/tessel" BASE resources FILES resources/tessel_icon.png resources/tessel_icon.svg)

add_executable(tessel-viewer main.cpp)
target_link_libraries(tessel-viewer PRIVATE tv_shell)
