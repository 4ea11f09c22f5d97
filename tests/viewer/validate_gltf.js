// Runs the Khronos glTF validator on one file: node validate_gltf.js VALIDATOR_DIR FILE.
// Prints the report's issue counts and messages; exits 1 when the report has any error.
const fs = require('fs');
const validator = require(process.argv[2]);
const bytes = new Uint8Array(fs.readFileSync(process.argv[3]));
validator.validateBytes(bytes).then((report) => {
  const issues = report.issues;
  console.log(JSON.stringify({numErrors: issues.numErrors, numWarnings: issues.numWarnings,
                              messages: issues.messages}));
  process.exit(issues.numErrors === 0 ? 0 : 1);
}, (error) => {
  console.error(String(error));
  process.exit(2);
});
