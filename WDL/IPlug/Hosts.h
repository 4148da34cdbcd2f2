#pragma once

// The plug-in interface a build is made for.
enum EAPI : int
{
  kAPIVST2 = 0,
  kAPIVST3 = 1,
  kAPIAU = 2,
  kAPIRTAS = 3,
  kAPIAAX = 4,
  kAPIStandalone = 5
};

// The host application, as identified from its name. The numbers are fixed
// (the standalone application is 24): add new hosts at the end.
enum EHost : int
{
  kHostUninit = -1,
  kHostUnknown = 0,
  kHostReaper = 1,
  kHostProTools = 2,
  kHostCubase = 3,
  kHostNuendo = 4,
  kHostSonar = 5,
  kHostVegas = 6,
  kHostFL = 7,
  kHostSamplitude = 8,
  kHostLive = 9,
  kHostReserved10 = 10,
  kHostReserved11 = 11,
  kHostMelodyne = 12,
  kHostVSTScanner = 13,
  kHostAULab = 14,
  kHostForte = 15,
  kHostChainer = 16,
  kHostAudition = 17,
  kHostOrion = 18,
  kHostReserved19 = 19,
  kHostSAWStudio = 20,
  kHostLogic = 21,
  kHostGarageBand = 22,
  kHostDigitalPerformer = 23,
  kHostStandalone = 24,
  kHostAudioMulch = 25,
  kHostStudioOne = 26,
  kHostVST3TestHost = 27,
  kHostArdour = 28,
  kHostRenoise = 29,
  kHostOpenMPT = 30
};

// The size GetHostNameStr needs for its output; every name is shorter.
constexpr int kHostNameSize = 32;

// The host whose identifying word the name contains (case-insensitive), tested
// in a fixed order; kHostUnknown when none matches or the name is null. Only
// the first 255 characters of the name are looked at.
EHost LookUpHost(const char* name);

// Writes the host's display name ("Unknown" for hosts without one) into out,
// which holds at least kHostNameSize bytes.
void GetHostNameStr(EHost host, char* out);
