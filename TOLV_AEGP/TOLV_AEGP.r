/* PiPL of the general plug-in "TOLV_AEGP". */
#ifndef AE_OS_WIN
#include <AE_General.r>
#endif

resource 'PiPL' (16000) {
	{
		Kind { AEGP },
		Name { "TOLV_AEGP" },
		Category { "General Plugin" },
		Version { 196608 /* 0x00030000 */ },
#ifdef AE_OS_WIN
		CodeWin64X86 { "EntryPointFunc" },
#else
		CodeMacIntel64 { "EntryPointFunc" },
#endif
	}
};
