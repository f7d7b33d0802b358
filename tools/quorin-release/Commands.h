#pragma once

#include "ToolError.h"

#include <string>
#include <vector>

namespace quorin::release {

// validate-config FILE: decodes a launcher configuration file as the launcher would.
ToolOutcome validateConfig(const std::string& file);

// validate-web-ui DIR: validates a web UI folder as the launcher would.
ToolOutcome validateWebUI(const std::string& folder);

// manifest-web-ui DIR: writes DIR/upstream.json for every regular file under renderer/ and
// assets/, refusing folders the launcher would refuse before reading a manifest. The file is
// replaced atomically; the finished folder is validated before "ok" is reported.
ToolOutcome writeWebUIManifest(const std::string& folder);

// keygen KEY: a new Ed25519 key, the private seed in KEY (mode 0600, never replaced) and the
// public key in KEY.pub, each one line of Base64.
ToolOutcome generateKey(const std::string& keyFile);

// sign-bundle BUNDLE --key KEY: seals the bundle (CodeResources and CodeSignature).
ToolOutcome signBundle(const std::string& bundle, const std::string& keyFile);

// notarize-bundle BUNDLE --key KEY: countersigns a sealed bundle as the notary.
ToolOutcome notarizeBundle(const std::string& bundle, const std::string& keyFile);

// verify-bundle BUNDLE VERSION --trust KEY.pub... [--notary KEY.pub...]: the launcher's full
// check of a candidate bundle with these trusted signing and notary keys.
ToolOutcome verifyBundle(const std::string& bundle, const std::string& version, const std::vector<std::string>& signingKeyFiles,
    const std::vector<std::string>& notaryKeyFiles);

// pack BUNDLE OUT.zip: the release archive, every folder and regular file of the bundle under
// "Quorin 4.2.app/" as stored entries with their permissions; links refuse the bundle. The
// archive is checked as the launcher checks it before it is written.
ToolOutcome packBundle(const std::string& bundle, const std::string& archive);

// validate-archive ZIP: the launcher's structure check of a release archive.
ToolOutcome validateArchive(const std::string& archive);

// feed --version V --archive ZIP --url-base URL: the feed text for the archive, published in
// the folder URL beside it; the archive must carry this platform's name for V.
ToolOutput makeFeed(const std::string& version, const std::string& archive, const std::string& urlBase);

// validate-feed FILE URL: parses a feed as the launcher would after fetching it from URL.
ToolOutcome validateFeed(const std::string& file, const std::string& feedURL);

} // namespace quorin::release
