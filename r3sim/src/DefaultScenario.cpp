// The scenario r3sim plays when it is given none: a Unicode system QAS,
// release 700, with three application servers on two hosts.
#include "r3sim/Scenario.h"

namespace r3sim {

const std::string& DefaultScenarioJson() {
    static const std::string json = R"json({
  "systemId": "QAS",
  "release": "700",
  "partnerRelease": "700",
  "kernelRelease": "700",
  "unicode": true,
  "operatingSystem": "Linux",
  "dateFormat": "DD.MM.YYYY",
  "decimalSign": ",",
  "database": { "system": "ORA", "release": "10.2.0", "version": "10.2.0.4.0",
                "tableBytes": 61203283968, "indexBytes": 25769803776 },
  "languages": ["EN", "DE"],
  "clients": [
    { "number": "000", "text": "Reference client" },
    { "number": "100", "text": "Quality assurance" }
  ],
  "users": [
    { "name": "COLLECTOR", "password": "SECRET", "clients": ["000", "100"] },
    { "name": "LIMITED", "password": "LIMITED", "clients": ["100"],
      "missingAuthorizations": [
        { "object": "S_RFC", "field": "RFC_NAME", "value": "THFB" },
        { "object": "S_ADMI_FCD", "field": "S_ADMI_FCD", "value": "SM21" }
      ] },
    { "name": "LOCKED", "password": "LOCKED", "locked": true }
  ],
  "missingObjects": ["S_LOG_COM"],
  "servers": [
    { "name": "qashost1_QAS_00", "host": "qashost1", "systemNumber": 0,
      "services": ["Dialog", "Update", "Enqueue", "Backg", "Spool", "Upd2"] },
    { "name": "qashost1_QAS_01", "host": "qashost1", "systemNumber": 1,
      "services": ["Dialog", "Backg"] },
    { "name": "qashost2_QAS_02", "host": "qashost2", "systemNumber": 2,
      "services": ["Dialog", "Update", "Backg"] }
  ],
  "faults": []
})json";
    return json;
}

}  // namespace r3sim
