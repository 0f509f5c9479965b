// Class, interface and type-library identifiers of KVR_UTIL_prov and of its tracing build KVR_UTIL.
#pragma once

#include "com/Com.h"

namespace kvr::ids {

inline const char *const TypeLibName = "KVR_UTIL";
inline const char *const TypeLibVersion = "1.0";
constexpr quint32 TypeLibLcid = 0x409;

// KVR_UTIL_prov (used by the main program)
inline const com::Guid LIBID = com::Guid::parse("{FBE49CAF-3E79-43C4-A6F4-ECAA8DC1B97E}");
inline const com::Guid CLSID_cls_Bordo = com::Guid::parse("{D4B73F2A-DD0C-4FFE-A67C-AD9312810B57}");
inline const com::Guid IID_cls_Bordo = com::Guid::parse("{6627C66D-544C-4072-9A06-8522559E5C32}");
inline const com::Guid CLSID_cls_Leggenda = com::Guid::parse("{AA0F8AA8-01E2-4EFA-A037-5E6B534DC9CC}");
inline const com::Guid IID_cls_Leggenda = com::Guid::parse("{619A3044-410C-4246-A092-C0F93F0718E3}");
inline const com::Guid CLSID_cls_Titolo = com::Guid::parse("{29B56ED0-98EE-4753-81E6-5322BA81852C}");
inline const com::Guid IID_cls_Titolo = com::Guid::parse("{C400B3FE-26BD-446B-B33E-837B327547E1}");
inline const com::Guid CLSID_Files = com::Guid::parse("{2CD7606C-EDF5-47FD-AE63-F29C22482DA4}");
inline const com::Guid IID_Files = com::Guid::parse("{B4CE89E6-9E46-454D-8695-322710FC04CE}");
inline const com::Guid CLSID_DBInform = com::Guid::parse("{8337B86A-D46F-4A33-AD86-9AB2BD99D8B7}");
inline const com::Guid IID_DBInform = com::Guid::parse("{7D63EB2E-6204-4C4A-AB66-1326AAB5612E}");

namespace trace {
inline const com::Guid LIBID = com::Guid::parse("{B51004FE-E88C-4050-B256-051DF432A19D}");
inline const com::Guid CLSID_cls_Bordo = com::Guid::parse("{8CE0232C-403B-4298-96C2-B145F254A7F2}");
inline const com::Guid IID_cls_Bordo = com::Guid::parse("{FC91F999-D2A2-46C2-9C4D-6FB31E296CEB}");
inline const com::Guid CLSID_cls_Leggenda = com::Guid::parse("{9FE60EED-E55B-4C68-83AE-ECE54DF230AD}");
inline const com::Guid IID_cls_Leggenda = com::Guid::parse("{8856F913-AE25-4861-B7E3-07E215D58C7F}");
inline const com::Guid CLSID_cls_Titolo = com::Guid::parse("{98823B4E-4869-4077-BE3C-A59F5CF7E6EC}");
inline const com::Guid IID_cls_Titolo = com::Guid::parse("{9D635F1E-86E2-4BAE-8650-2A483C1AFC00}");
inline const com::Guid CLSID_Files = com::Guid::parse("{8BB27984-DE0F-43AA-A034-760D3BC8C096}");
inline const com::Guid IID_Files = com::Guid::parse("{A6AB72A2-BD42-450B-BF7F-95DDE3615720}");
inline const com::Guid CLSID_DBInform = com::Guid::parse("{CCDA43D8-4186-4989-B6B9-57F1F1BA2D8A}");
inline const com::Guid IID_DBInform = com::Guid::parse("{E7F4992E-4B15-4B33-8987-BFC188FFDB04}");
}  // namespace trace

}  // namespace kvr::ids
