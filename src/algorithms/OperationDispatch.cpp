// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/OperationDispatch.h"

#include "algorithms/EepromFamily.h"
#include "algorithms/IspFamily.h"
#include "algorithms/PicFamily.h"

namespace kardo {

void RunOperation(OperationContext& context) {
    switch (context.record.Family()) {
        case 'C':
            RunPicOperation(context);
            break;
        case 'E':
            RunEepromOperation(context);
            break;
        case 'M':
            // A chip the user refused counts one error; the check said why.
            if (CheckChipIdentity(context)) {
                RunIspOperation(context);
            } else {
                context.CountError();
            }
            break;
        default:
            break;  // no algorithm: the progress window waits for Abort
    }
    if (context.Errors() != 0) {
        context.host.CloseProgress();
    }
    context.host.OperationEnded();
}

}  // namespace kardo
