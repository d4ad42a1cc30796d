#pragma once
// Shows the program's messages in QMessageBox (style bits: buttons, icon).
namespace tv {
void InstallQtMessageBox();
}
