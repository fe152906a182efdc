/*
 * rfc32u.h - the C interface of librfc32u, the Unicode RFC client library.
 *
 * All text is UTF-16 (RFC_CHAR). Fixed-width text fields in the records below
 * are zero-terminated when there is room; readers take at most the field's
 * width. Parameter and table lists end with an all-zero record (name == NULL).
 *
 * Thread rules: every function may be called from any thread. Calls on one
 * handle are serialised inside the library (a second thread waits until the
 * first call on that handle returns). The last-error record is kept per
 * thread: RfcLastErrorExU reports the last failure of the calling thread.
 * Internal tables are not locked: one table belongs to one thread at a time.
 *
 * Transport: TCP to host:(port base + system number). The port base is 3300
 * and is overridden by the environment variable QUORVEL_RFC_PORT_BASE. Host
 * names are looked up first in QUORVEL_RFC_HOSTS ("name=address,name=address";
 * a name also matches its short form before the first dot), then by the
 * resolver. Time-outs: the resolver's lookup and the connect 10 s each
 * (QUORVEL_RFC_CONNECT_TIMEOUT_MS), each wait for the partner's answer 60 s
 * (QUORVEL_RFC_READ_TIMEOUT_MS).
 *
 * Replies are bounded: one reply may carry at most 256 MiB
 * (QUORVEL_RFC_MAX_REPLY_BYTES), all replies arriving at once in the process
 * at most eight times that (QUORVEL_RFC_MAX_REPLIES_BYTES). A reply past
 * either bound fails its call with RFC_FAILURE, group RFC_ERROR_RESOURCE and
 * key RFC_KEY_REPLY_TOO_LARGE, naming the function and the bound; the
 * connection is then broken (RFC_CLOSED), as the rest of the reply is still
 * on its way.
 *
 * Connect string: blank-separated KEY=value pairs, keys ASHOST, SYSNR, CLIENT,
 * USER, PASSWD, LANG (case-insensitive; a value may be written in double
 * quotes; other keys are ignored). ASHOST may carry a router string in front
 * of the host: "/H/router/S/3299/H/host" (the port after /S/ defaults to 3299).
 */
#ifndef QUORVEL_RFC32U_H
#define QUORVEL_RFC32U_H

#ifdef __cplusplus
extern "C" {
#endif

typedef char16_t RFC_CHAR;
typedef unsigned int RFC_HANDLE;
typedef unsigned int RFC_TYPEHANDLE;
typedef int RFC_RC;
typedef struct RFC_ITAB_S* ITAB_H;

#define RFC_HANDLE_NULL 0u
#define ITAB_NULL ((ITAB_H)0)

/* Result codes. Enumerators rather than macros, so that a C++ file may also
 * see another RFC library's declarations in a namespace of their own. */
enum {
    RFC_OK = 0,                 /* success; for RfcIsValidHandleU: the handle is open */
    RFC_FAILURE = 1,            /* the call failed; see RfcLastErrorExU */
    RFC_EXCEPTION = 2,          /* the function module raised an exception: key = its name */
    RFC_SYS_EXCEPTION = 3,      /* the partner system aborted the call */
    RFC_CLOSED = 6,             /* the connection is broken (partner gone, time-out, bad
                                   frame); the handle is still to be closed with RfcCloseU */
    RFC_MEMORY_INSUFFICIENT = 11,
    RFC_VERSION_MISMATCH = 12,  /* the partner speaks another protocol version */
    RFC_NOT_FOUND = 13,         /* named parameter, structure or table not known */
    RFC_CALL_NOT_SUPPORTED = 14, /* operation not supported by this library version */
    RFC_NOT_OPEN = 16,          /* handle 0: no connection has been opened with it */
    RFC_INVALID_HANDLE = 18     /* handle unknown: already closed or never issued */
};

/*
 * RfcIsValidHandleU results: RFC_OK (0) = open; RFC_NOT_OPEN (16) or
 * RFC_INVALID_HANDLE (18) = no open handle, a new open may proceed;
 * RFC_CLOSED (6) = the connection broke and the handle must still be closed.
 */

/* Keys of two failures a caller may act on (RFC_ERROR_INFO_EX.key). */
#define RFC_KEY_REPLY_TOO_LARGE u"RFC_REPLY_TOO_LARGE" /* group RFC_ERROR_RESOURCE */
#define RFC_KEY_CANCELLED u"RFC_CANCELLED"             /* group RFC_ERROR_COMMUNICATION */

/* Error groups of RFC_ERROR_INFO_EX.group. */
#define RFC_ERROR_PROGRAM 101               /* bad argument or connect string */
#define RFC_ERROR_COMMUNICATION 102         /* partner not reached, connection lost, time-out */
#define RFC_ERROR_LOGON_FAILURE 103         /* logon refused: client, user, password, language */
#define RFC_ERROR_SYSTEM_FAILURE 104        /* failure inside the partner system */
#define RFC_ERROR_APPLICATION_EXCEPTION 105 /* module exception; key = exception name */
#define RFC_ERROR_RESOURCE 106              /* a size limit or memory exhausted */
#define RFC_ERROR_PROTOCOL 107              /* malformed or unexpected frame, version mismatch */
#define RFC_ERROR_HANDLE 108                /* invalid or closed handle */
#define RFC_ERROR_NOT_SUPPORTED 109         /* not supported by this library version */

typedef struct {
    int group;             /* one of RFC_ERROR_*, 0 when there was no error */
    RFC_CHAR key[33];      /* short key, e.g. RFC_ERROR_COMMUNICATION or the exception name */
    RFC_CHAR message[513]; /* readable text */
} RFC_ERROR_INFO_EX;

/* Connection attributes, filled by RfcGetAttributesU. */
typedef struct {
    RFC_CHAR dest[65];          /* destination, empty for ASHOST connections */
    RFC_CHAR own_host[101];     /* this host */
    RFC_CHAR partner_host[101]; /* application server host */
    RFC_CHAR systnr[3];         /* system number */
    RFC_CHAR sysid[9];          /* system id */
    RFC_CHAR client[4];
    RFC_CHAR user[13];
    RFC_CHAR language[2]; /* one-character logon language */
    RFC_CHAR ISO_language[3];
    RFC_CHAR own_codepage[5];     /* "4103": UTF-16 little endian */
    RFC_CHAR partner_codepage[5]; /* "4103" Unicode system, "1100" non-Unicode */
    RFC_CHAR rfc_role;            /* 'C' client */
    RFC_CHAR own_type;            /* 'E' external program */
    RFC_CHAR own_rel[5];          /* release of this library */
    RFC_CHAR partner_type;        /* '3' R/3 */
    RFC_CHAR partner_rel[5];      /* release of the partner system, e.g. "700"; may be empty */
    RFC_CHAR kernel_rel[5];       /* kernel release of the partner */
    RFC_CHAR trace;               /* 'X' when traced, else ' ' */
    RFC_CHAR reserved[33];
} RFC_ATTRIBUTES;

/* RFC type codes. Installed structures get type handles >= RFCTYPE_FIRST_INSTALLED. */
enum {
    RFCTYPE_CHAR = 0,            /* UTF-16 text, 2 bytes per character, space-padded */
    RFCTYPE_DATE = 1,            /* YYYYMMDD as text */
    RFCTYPE_BCD = 2,             /* packed decimal */
    RFCTYPE_TIME = 3,            /* HHMMSS as text */
    RFCTYPE_BYTE = 4,            /* raw bytes */
    RFCTYPE_ITAB = 5,            /* internal table */
    RFCTYPE_NUM = 6,             /* numeric text, '0'-padded digits */
    RFCTYPE_FLOAT = 7,           /* 8-byte double */
    RFCTYPE_INT = 8,             /* 4-byte signed integer */
    RFCTYPE_INT2 = 9,            /* 2-byte signed integer */
    RFCTYPE_INT1 = 10,           /* 1-byte unsigned integer */
    RFCTYPE_STRUCTURE = 14,      /* flat structure */
    RFCTYPE_DEEP_STRUCTURE = 17, /* structure with nested parts */
    RFCTYPE_UNKNOWN = 255        /* RfcExidToRfcTypeU of a letter it does not know */
};
#define RFCTYPE_FIRST_INSTALLED 256u

/*
 * One parameter of an exporting or importing list. For exporting lists addr
 * points to leng bytes sent to the module; for importing lists to leng bytes
 * that receive the module's value (character-like types are space-padded,
 * others zero-padded when the module's value is shorter).
 */
typedef struct {
    const RFC_CHAR* name;
    unsigned int nlen; /* name length in characters */
    void* addr;
    unsigned int leng;   /* value length in bytes */
    RFC_TYPEHANDLE type; /* RFCTYPE_* or an installed structure handle */
} RFC_PARAMETER;

/*
 * One table of a table list. The rows of ithandle travel to the module with
 * the call and are replaced by the module's rows on return; tables not in the
 * list are not transferred.
 */
typedef struct {
    const RFC_CHAR* name;
    unsigned int nlen;
    RFC_TYPEHANDLE type;
    unsigned int leng; /* row length in bytes */
    int itmode;        /* 0 */
    ITAB_H ithandle;
    int newitab; /* 0 */
} RFC_TABLE;

/*
 * One field of a structure definition, the 156-byte row of a FIELDS table
 * (RfcGetStructureInfoAsTableU). Offsets and lengths are in bytes for the
 * 1-, 2- and 4-byte character layouts.
 */
typedef struct {
    RFC_CHAR tabname[30];   /* byte 0 */
    RFC_CHAR fieldname[30]; /* byte 60 */
    int position;           /* byte 120, from 1 */
    RFC_CHAR exid;          /* byte 124, type letter */
    RFC_CHAR reserved;      /* byte 126 */
    int decimals;           /* byte 128 */
    int offset_b1;          /* byte 132 */
    int length_b1;          /* byte 136 */
    int offset_b2;          /* byte 140 */
    int length_b2;          /* byte 144 */
    int offset_b4;          /* byte 148 */
    int length_b4;          /* byte 152 */
} RFC_U_FIELDS;

/*
 * One parameter of a function interface, the 420-byte row of a PARAMS table
 * (RfcGetFunctionInfoAsTableU). Text fields are space-padded.
 */
typedef struct {
    RFC_CHAR paramclass;        /* byte 0: 'I' import, 'E' export, 'T' table, 'X' exception */
    RFC_CHAR parameter[30];     /* byte 2 */
    RFC_CHAR tabname[30];       /* byte 62: structure or table type */
    RFC_CHAR fieldname[30];     /* byte 122: field for parameters typed by one field */
    RFC_CHAR exid;              /* byte 182: type letter */
    int position;               /* byte 184 */
    int offset_b1;              /* byte 188 */
    int length_b1;              /* byte 192 */
    int offset_b2;              /* byte 196 */
    int length_b2;              /* byte 200: value length in the UTF-16 layout */
    int offset_b4;              /* byte 204 */
    int length_b4;              /* byte 208 */
    int decimals;               /* byte 212 */
    RFC_CHAR default_value[21]; /* byte 216 */
    RFC_CHAR paramtext[79];     /* byte 258 */
    RFC_CHAR optional;          /* byte 416: 'X' when optional */
    RFC_CHAR reserved;          /* byte 418 */
} RFC_U_FUNINT;

/* One field of a structure to install; each record carries length before offset. */
typedef struct {
    const RFC_CHAR* name;
    RFC_TYPEHANDLE type;
    unsigned int decimals;
    unsigned int c1_length;
    unsigned int c1_offset;
    unsigned int c2_length;
    unsigned int c2_offset;
    unsigned int c4_length;
    unsigned int c4_offset;
} RFC_UNICODE_TYPE_ELEMENT;

/* --- Connections ---------------------------------------------------------- */

/* Opens and logs on; returns RFC_HANDLE_NULL and fills *error_info on failure. */
RFC_HANDLE RfcOpenExU(const RFC_CHAR* connect_param, RFC_ERROR_INFO_EX* error_info);

/* See the result codes above; error_info may be NULL. */
RFC_RC RfcIsValidHandleU(RFC_HANDLE handle, RFC_ERROR_INFO_EX* error_info);

/* Logs off, closes the socket and releases the handle (also a broken one). */
void RfcCloseU(RFC_HANDLE handle);

RFC_RC RfcGetAttributesU(RFC_HANDLE handle, RFC_ATTRIBUTES* attributes);

/* Copies the calling thread's last error; returns its group (0 when none). */
int RfcLastErrorExU(RFC_ERROR_INFO_EX* error_info);

/*
 * For a program that stops: shuts down the socket of every connection of the
 * process, open or being opened, so that every call in flight ends at once
 * with RFC_FAILURE (group RFC_ERROR_COMMUNICATION, key RFC_KEY_CANCELLED),
 * however long its partner would take. The handles stay to be closed with
 * RfcCloseU; every later call on them, and every open until
 * RfcResumeCallsU, fails the same way at once. Any thread may call it.
 */
void RfcCancelAllCallsU(void);

/* Lets opens proceed again after RfcCancelAllCallsU (cancelled handles stay broken). */
void RfcResumeCallsU(void);

/* --- Calls ------------------------------------------------------------------ */

/*
 * Sends the call; the answer is collected by RfcReceiveU. The exporting
 * values and the rows of the listed tables are copied at once, so the
 * caller's buffers may change before RfcReceiveU.
 */
RFC_RC RfcCallU(RFC_HANDLE handle, const RFC_CHAR* function, RFC_PARAMETER* exporting,
                RFC_TABLE* tables);

/*
 * Waits for the answer of the pending RfcCallU and fills the importing values
 * and the listed tables. *exception (may be NULL) receives the name of a
 * raised exception or an empty text; it stays valid until the next call on
 * the handle. RFC_EXCEPTION when the module raised one.
 */
RFC_RC RfcReceiveU(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_TABLE* tables,
                   RFC_CHAR** exception);

/* RfcCallU and RfcReceiveU in one. */
RFC_RC RfcCallReceiveU(RFC_HANDLE handle, const RFC_CHAR* function, RFC_PARAMETER* exporting,
                       RFC_PARAMETER* importing, RFC_TABLE* tables, RFC_CHAR** exception);

/* --- Dynamic interfaces ------------------------------------------------------ */

/* Fills params (rows of sizeof(RFC_U_FUNINT) = 420 bytes) with the interface. */
RFC_RC RfcGetFunctionInfoAsTableU(RFC_HANDLE handle, const RFC_CHAR* function, ITAB_H params,
                                  RFC_CHAR** exception);

/* Recomputes the offsets of params for this platform's alignment. */
RFC_RC RfcAlignFunctionInterfaceU(RFC_HANDLE handle, const RFC_CHAR* function, ITAB_H params);

/*
 * Fills fields (rows of sizeof(RFC_U_FIELDS) = 156 bytes) with the structure's
 * fields; option is 0. Results: the record lengths in the 1-, 2- and 4-byte
 * layouts (length_b2 is the one for UTF-16 records), the number of fields and
 * the structure's alignment in bytes. Any result pointer may be NULL.
 */
RFC_RC RfcGetStructureInfoAsTableU(RFC_HANDLE handle, const RFC_CHAR* structure, ITAB_H fields,
                                   int option, unsigned int* length_b1, unsigned int* length_b2,
                                   unsigned int* length_b4, unsigned int* field_count,
                                   unsigned int* alignment, RFC_CHAR** exception);

/* Installs a structure for conversion; *type_handle receives its type handle. */
RFC_RC RfcInstallUnicodeStructureU(const RFC_CHAR* name, const RFC_UNICODE_TYPE_ELEMENT* elements,
                                   unsigned int entries, RFC_TYPEHANDLE* type_handle);

/* Type letter to type code: C D P T X h N F I s b u v; anything else RFCTYPE_UNKNOWN. */
RFC_TYPEHANDLE RfcExidToRfcTypeU(RFC_CHAR exid);

/* --- Internal tables ----------------------------------------------------- */

/* Creates an empty table of rows of leng bytes; occu and memo are hints (0). NULL on failure. */
ITAB_H ItCreateU(const RFC_CHAR* name, unsigned int leng, unsigned int occu, unsigned int memo);

/* Number of rows; 0 for a NULL handle. */
unsigned int ItFillU(ITAB_H table);

/* Row length in bytes; 0 for a NULL handle. */
unsigned int ItLengU(ITAB_H table);

/* Row line (from 1); NULL past the end or for a NULL handle. */
void* ItGetLineU(ITAB_H table, unsigned int line);

/* Appends a zero-filled row and returns it; NULL on failure. */
void* ItAppLineU(ITAB_H table);

/* Removes all rows; 0 on success, non-zero for a NULL handle. */
int ItFreeU(ITAB_H table);

/* Destroys the table; 0 on success, non-zero for a NULL handle. */
int ItDeleteU(ITAB_H table);

/* --- Packed decimals --------------------------------------------------------- */

/*
 * Text to packed decimal: in holds in_length characters such as "-12.5",
 * " 12.50-" or "1234"; the value is scaled to the field's decimals and stored
 * in out_length bytes (2 * out_length - 1 digits and a sign nibble). Fails on
 * malformed text and on a value that does not fit.
 */
RFC_RC RfcConvertCharToBcdU(const RFC_CHAR* in, unsigned int in_length, int decimals, void* out,
                            unsigned int out_length);

/*
 * Packed decimal to text, right-aligned and blank-padded in out_length - 1
 * characters and zero-terminated; negative values end in '-' ("  12.50-").
 * Fails on a malformed field or when out_length is too small.
 */
RFC_RC RfcConvertBcdToCharU(const void* in, unsigned int in_length, int decimals, RFC_CHAR* out,
                            unsigned int out_length);

/* --- The library behind these functions ---------------------------------- */

/*
 * Routes every later connection through SAP's NetWeaver RFC library, loaded
 * from path (libsapnwrfc.so; libsapucum.so from the same folder is loaded
 * first when present). options_file (may be NULL or empty) names a file of
 * further connection parameters, one "name=value" a line (SNC, CPIC
 * keep-alive, trace). A NULL or empty path goes back to our own protocol,
 * the default. Refused while a connection is open. RFC_FAILURE with one line
 * in error_info naming the path and what is missing (the library, or a
 * function it lacks).
 */
RFC_RC RfcUseNetWeaverLibraryU(const char* path, const char* options_file,
                               RFC_ERROR_INFO_EX* error_info);

/* The library in use and its version, zero-terminated within capacity units. */
void RfcGetLibraryDescriptionU(RFC_CHAR* text, unsigned int capacity);

#ifdef __cplusplus
}
#endif

#endif /* QUORVEL_RFC32U_H */
