// kxli: every public header of the library.
//
// kxli builds and takes apart the contents of messages: a message buffer
// with its descriptor (KxlMsg), the headers that chain in front of message
// data (KxlDlh, KxlVih, KxlOih, KxlWih, KxlRfh), trigger messages (KxlTrg),
// the text and byte-string values everything is handed in and out as
// (KxlStr, KxlBin), get-message options (KxlGmo, KxlGmo3) and client channel
// definitions (KxlChl). Failures are reported as completion and reason
// codes in the object concerned (kxlcodes.hpp), never as exceptions.
#ifndef KXLI_KXLI_HPP_
#define KXLI_KXLI_HPP_

#include "kxecs.h"
#include "kxlbin.hpp"
#include "kxlcac.hpp"
#include "kxlchl.hpp"
#include "kxlcodes.hpp"
#include "kxldlh.hpp"
#include "kxlerr.hpp"
#include "kxlgmo.hpp"
#include "kxlgmo2.hpp"
#include "kxlhdr.hpp"
#include "kxlitm.hpp"
#include "kxlmain.hpp"
#include "kxlmsg.hpp"
#include "kxlmtr.hpp"
#include "kxloih.hpp"
#include "kxlpfx.hpp"
#include "kxlrec.hpp"
#include "kxlrfh.hpp"
#include "kxlsem.hpp"
#include "kxlstr.hpp"
#include "kxltrc.hpp"
#include "kxltrg.hpp"
#include "kxlvih.hpp"
#include "kxlwih.hpp"

#endif  // KXLI_KXLI_HPP_
