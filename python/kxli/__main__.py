"""python3 -m kxli dump FILE: prints what `kxmsg dump --json FILE` prints."""

import sys

from ._dump import main

sys.exit(main())
