// The failing allocator for Tcl: preloaded into tclsh (so that its operator
// new replaces the one the tessel package would use), then loaded as a
// package to arm it from a script:
//
//   failing::arm N ?persistent?   the N-th allocation from now fails
//   failing::disarm
//   failing::made                 allocations from arm to disarm
//   failing::failed               1 when one has failed since arm
#include <tcl.h>

#include "failing_allocator.h"

namespace {

int arm(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    long n = 0;
    int persistent = 0;
    if (objc < 2 || objc > 3 || Tcl_GetLongFromObj(interp, objv[1], &n) != TCL_OK ||
        (objc == 3 && Tcl_GetBooleanFromObj(interp, objv[2], &persistent) != TCL_OK)) {
        Tcl_WrongNumArgs(interp, 1, objv, "n ?persistent?");
        return TCL_ERROR;
    }
    failing_allocator::arm(n, persistent != 0);
    return TCL_OK;
}

int disarm(ClientData, Tcl_Interp*, int, Tcl_Obj* const[])
{
    failing_allocator::disarm();
    return TCL_OK;
}

int made(ClientData, Tcl_Interp* interp, int, Tcl_Obj* const[])
{
    Tcl_SetObjResult(interp, Tcl_NewLongObj(failing_allocator::made()));
    return TCL_OK;
}

int failed(ClientData, Tcl_Interp* interp, int, Tcl_Obj* const[])
{
    Tcl_SetObjResult(interp, Tcl_NewBooleanObj(failing_allocator::failed()));
    return TCL_OK;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int Failing_Init(Tcl_Interp* interp)
{
    if (!Tcl_InitStubs(interp, "8.6", 0))
        return TCL_ERROR;
    Tcl_CreateObjCommand(interp, "::failing::arm", arm, nullptr, nullptr);
    Tcl_CreateObjCommand(interp, "::failing::disarm", disarm, nullptr, nullptr);
    Tcl_CreateObjCommand(interp, "::failing::made", made, nullptr, nullptr);
    Tcl_CreateObjCommand(interp, "::failing::failed", failed, nullptr, nullptr);
    return TCL_OK;
}
