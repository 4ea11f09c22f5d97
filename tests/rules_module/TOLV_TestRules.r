/* PiPL of the test-only effect that breaks host rules on purpose. */
#ifndef AE_OS_WIN
#include <AE_General.r>
#endif

resource 'PiPL' (16000) {
	{
		Kind { AEEffect },
		Name { "TOLV Test Rules" },
		Category { "ZEK" },
#ifdef AE_OS_WIN
		CodeWin64X86 { "EntryPointFunc" },
#else
		CodeMacIntel64 { "EntryPointFunc" },
#endif
		AE_PiPL_Version { 2, 0 },
		AE_Effect_Spec_Version { 13, 9 },
		AE_Effect_Version { 1048576 /* 0x00100000: 2.0.0 develop, build 0 */ },
		AE_Effect_Info_Flags { 0 },
		AE_Effect_Global_OutFlags { 0x00000000 },
		AE_Effect_Global_OutFlags_2 { 0x00000000 },
		AE_Effect_Match_Name { "ZEK TOLV_TestRules" },
		AE_Reserved_Info { 8 }
	}
};
