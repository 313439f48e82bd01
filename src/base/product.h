// The product's fixed texts: its title and version, the banner lines and the
// maker's web pages.
#pragma once

namespace quorbix::product {

inline constexpr char kTitle[] = "Vellumora Quorbix";
inline constexpr int kVersionNumber = 280;
// Title, one space and the version text; names the console and the
// single-instance lock.
inline constexpr char kConsoleTitle[] = "Vellumora Quorbix 2.8";
// Banner line 2; also the default text of the text watermark.
inline constexpr char kOwnershipNotice[] = "Copyright (C) Vellumora Software. All rights reserved.";
inline constexpr char kWebAddress[] = "https://www.vellumora.com/quorbix";
inline constexpr char kUninstallFeedbackPage[] = "https://www.vellumora.com/quorbix/uninstall";

}  // namespace quorbix::product
