// Settings glue between the window and the settings store.
#include "shell/frmUnzip.h"

namespace tv {

bool frmUnzip::LoadPathSettings() { return false; }
bool frmUnzip::LoadOptionSettings() { return false; }
void frmUnzip::SaveSettingsAtClose() {}
int frmUnzip::NavigationOption() const { return 0; }
void frmUnzip::OpenPackage(const std::string&) {}
void frmUnzip::TransformXmlFile(const std::string&, const std::string&, const std::string&) {}
void frmUnzip::RenderPackage() {}

}  // namespace tv
