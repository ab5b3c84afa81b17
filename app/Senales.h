// SPDX-License-Identifier: MIT
#pragma once

// SIGINT, SIGTERM and SIGHUP stop ending the program where they arrive: each writes one byte
// to a pipe whose read end this returns, for the event loop to watch and end the program the
// way "Salir" does. SIGXFSZ is ignored, so that a file-size limit is a failed write. The first
// call installs the handlers; -1 when no pipe can be made.
int Canal_De_Senales();
