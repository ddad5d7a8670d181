#include "app/FrmQuorvel.h"
#include "app/Program.h"
#include "dialogs/FrmSelectOutputDir.h"

namespace quorvel {

void FrmQuorvel::cmdFindBatchFile_Click() {}

void FrmQuorvel::cmdFindTemplateFile_Click() {}

void FrmQuorvel::cmdFindOutputDirectory_Click() { OutputDirectoryDialog().Show(Window()); }

}  // namespace quorvel
