#include "algorithms/OperationDispatch.h"

#include "algorithms/EepromFamily.h"

namespace kardo {

void RunOperation(OperationContext& context) {
    switch (context.record.Family()) {
        case 'E':
            RunEepromOperation(context);
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
