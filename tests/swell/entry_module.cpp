// A library with the window layer's entry points, for the library tests: it reports each
// call to the test program, which decides the answers.
extern "C" int entryModuleCall(const char* entry, unsigned reason);

extern "C" __attribute__((visibility("default"))) int SWELL_dllMain(void*, unsigned reason, void*)
{
  return entryModuleCall("SWELL_dllMain", reason);
}

extern "C" __attribute__((visibility("default"))) int DllMain(void*, unsigned reason, void*)
{
  return entryModuleCall("DllMain", reason);
}

extern "C" __attribute__((visibility("default"))) int entryModuleValue()
{
  return 42;
}
