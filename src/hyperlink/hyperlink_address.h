// The web page of the wizard's banner link: what its tooltip shows and what
// a click opens. Change it here only.
#ifndef VANTOREL_HYPERLINK_HYPERLINK_ADDRESS_H
#define VANTOREL_HYPERLINK_HYPERLINK_ADDRESS_H

inline constexpr char HyperlinkAddress[] = "https://www.vantorel.example/";

#endif
