#pragma once
// The generated interface header includes this for the types its type
// library source declares by hand: the system headers have them all.

#include <windows.h>
#include <oaidl.h>
