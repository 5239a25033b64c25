#include "foundation/ChkContainers.h"

#include <string>

#include "foundation/Log.h"
#include "foundation/Text.h"
#include "platform/CloseRequest.h"

// The shared error path of cChkVector::At and cChkList::At. It may run on any
// thread: the log writers open and close their files on every line, and the
// close request is an atomic post.
void ReportCheckedAccessError(char chKind, int nIndex, int nSize, int nElemSize) {
    std::string strLine;
    FormatString(strLine, chKind == 'L' ? "err L[%d] ( %d , %d )" : "err V[%d] ( %d , %d )",
                 nIndex, nSize, nElemSize);
    WriteECText(strLine.c_str());
    WriteReport("%s", strLine.c_str());
    PostCloseRequest(CLOSE_FATAL);
}
