/* The layout of our runtime-free Windows programs: three sections instead
   of the linker's six, so that the headers fit in one 512-byte block and
   less of the file is padding to the next block.
     .text   code and read-only data (execute, read)
     .data   writable data and the import tables (read, write: the loader
             fills the import address table)
     .rsrc   the resources, as the resource compiler wrote them
   x64 keeps its unwind tables in their own sections, where the system
   looks for them. Constructor tables are kept (and so show in the link
   map, where the build refuses them): nothing would run them. */
SECTIONS
{
  . = SIZEOF_HEADERS;
  . = ALIGN(__section_alignment__);
  .text __image_base__ + (__section_alignment__ < 0x1000 ? . : __section_alignment__) :
  {
    *(.text)
    *(SORT(.text$*))
    *(.text.*)
    KEEP(*(.ctors))
    KEEP(*(.ctor))
    KEEP(*(SORT_BY_NAME(.ctors.*)))
    KEEP(*(.dtors))
    KEEP(*(.dtor))
    KEEP(*(SORT_BY_NAME(.dtors.*)))
    KEEP(*(.init_array))
    *(.rdata)
    *(SORT(.rdata$*))
    *(.eh_frame*)
  }
  .pdata BLOCK(__section_alignment__) :
  {
    KEEP(*(.pdata*))
  }
  .xdata BLOCK(__section_alignment__) :
  {
    KEEP(*(.xdata*))
  }
  /* The linker fills the import directories from these symbols' places
     (relative addresses), wherever the tables sit. */
  .data BLOCK(__section_alignment__) :
  {
    *(.data)
    *(.data2)
    *(SORT(.data$*))
    ".idata$2" = ABSOLUTE(.) - __image_base__;
    KEEP(SORT(*)(.idata$2))
    KEEP(SORT(*)(.idata$3))
    /* The import list ends with an empty entry. */
    LONG(0); LONG(0); LONG(0); LONG(0); LONG(0);
    ".idata$4" = ABSOLUTE(.) - __image_base__;
    KEEP(SORT(*)(.idata$4))
    ".idata$5" = ABSOLUTE(.) - __image_base__;
    KEEP(SORT(*)(.idata$5))
    ".idata$6" = ABSOLUTE(.) - __image_base__;
    KEEP(SORT(*)(.idata$6))
    KEEP(SORT(*)(.idata$7))
    *(.bss)
    *(COMMON)
  }
  .rsrc BLOCK(__section_alignment__) : SUBALIGN(4)
  {
    KEEP(*(.rsrc))
    KEEP(*(.rsrc$*))
  }
  /DISCARD/ :
  {
    *(.debug$S)
    *(.debug$T)
    *(.debug$F)
    *(.drectve)
    *(.note.GNU-stack)
    *(.gnu.lto_*)
  }
}
