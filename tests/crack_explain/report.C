The text
  722 letters, index of coincidence 0.0434 (English 0.066, uniform text 0.038)

The periods
  period  ic      fit (nats)  a dash: columns unlike English, not searched
       1  0.0434           -
       2  0.0433           -
       3  0.0440           -
       4  0.0433           -
       5  0.0674      9626.0  ######################################## <
       6  0.0442           -
       7  0.0427           -
       8  0.0438           -
       9  0.0463           -
      10  0.0662      9586.0  ########################################
      11  0.0419           -
      12  0.0436           -
      13  0.0433           -
      14  0.0430           -
      15  0.0715      9546.0  #######################################
      16  0.0429      5739.6  #
      17  0.0423      5909.2  ###
      18  0.0467      5840.0  ##
      19  0.0465      5877.0  ##
      20  0.0659      9506.0  #######################################
      21  0.0425      5939.4  ###
      22  0.0427      5843.2  ##
      23  0.0437      5844.0  ##
      24  0.0430      5867.4  ##
      25  0.0696      9466.0  ######################################
      26  0.0422      5955.2  ###
      27  0.0463      5974.8  ###
      28  0.0431      5899.0  ###
      29  0.0421      5885.8  ##
      30  0.0692      9426.0  ######################################
      31  0.0383      5903.6  ###
      32  0.0428      5892.8  ###
      33  0.0388      6025.6  ####
      34  0.0427      6017.4  ####
      35  0.0675      9386.0  ######################################
      36  0.0460      5969.0  ###
      37  0.0421      6072.4  ####
      38  0.0456      6099.0  #####
      39  0.0455      6008.4  ####
      40  0.0638      9346.0  #####################################
  Period 5 is chosen. A longer key fits any text better, so each key letter
  costs 8.0 nats of fit; after that cost its multiples fit less, in nats: 10 by
  40.0, 15 by 80.0, 20 by 120.0, 25 by 160.0, 30 by 200.0, 35 by 240.0, 40 by
  280.0.

The repeats
  Three-letter sequences repeated in the first 10000 letters, the most
  frequent first:
  ELQ     8 times, distances 75 70 25 50 75 155 10
  FVR     4 times, distances 10 85 380
  XTS     4 times, distances 225 15 60
  SEP     3 times, distances 50 428
  GTS     3 times, distances 265 270
  TSZ     3 times, distances 265 270
  HUP     3 times, distances 545 25
  PVQ     3 times, distances 45 175
  MYF     2 times, distances 550
  OFM     2 times, distances 585
  LGO     2 times, distances 505
  MZR     2 times, distances 471
  ZRS     2 times, distances 113
  SZV     2 times, distances 585
  ZVY     2 times, distances 585
  SQD     2 times, distances 155
  FRD     2 times, distances 560
  EXZ     2 times, distances 185
  NYH     2 times, distances 140
  ESM     2 times, distances 250
  How many of all their distances each period divides:
       2       22 ########################
       3       19 ####################
       4       10 ###########
       5       56 ############################################################
       6        6 ######
       7        6 ######
       8        3 ###
       9       12 #############
      10       20 #####################
      11        2 ##
      12        2 ##
      13        5 #####
      14        3 ###
      15       17 ##################
      16        3 ###
      17        1 #
      18        4 ####
      19        2 ##
      20        9 ##########
      21        0
      22        2 ##
      23        1 #
      24        0
      25       13 ##############
      26        1 #
      27        5 #####
      28        2 ##
      29        0
      30        5 #####
      31        5 #####
      32        2 ##
      33        0
      34        0
      35        5 #####
      36        0
      37        1 #
      38        1 #
      39        3 ###
      40        3 ###

The key
  Each key letter's column against English's letters enciphered by it; a
  shift's fit is how English its column reads deciphered, letter by letter.
  Key letter 1 of 5: L (shift 11); runner-up M (shift 12), 84.4 nats worse
    the column's 145 letters      English at shift 11
                   #                             #
        #          #   #     #        #          #
       ##       #  #  ##    ##      ###      #   #  ##    ##
      ###  # # ######### # ###    # #### # # #########  ####
    ABCDEFGHIJKLMNOPQRSTUVWXYZ    ABCDEFGHIJKLMNOPQRSTUVWXYZ
  Key letter 2 of 5: E (shift 4); runner-up R (shift 17), 85.3 nats worse
    the column's 145 letters      English at shift 4
            #                             #
            #         #               #   #              #
        #   #  ##    ##  ####         #   #  ##    ##  ###
        #########  # ##  #####    # # #########  ##### ####
    ABCDEFGHIJKLMNOPQRSTUVWXYZ    ABCDEFGHIJKLMNOPQRSTUVWXYZ
  Key letter 3 of 5: M (shift 12); runner-up X (shift 23), 80.8 nats worse
    the column's 144 letters      English at shift 12
                    #
         #          #        #                    #
         #          #        #    #   ##      #   #   #    #
    ## ####     # # #  ##  ###    #  ####     # #### ##  ###
    ABCDEFGHIJKLMNOPQRSTUVWXYZ    ABCDEFGHIJKLMNOPQRSTUVWXYZ
  Key letter 4 of 5: O (shift 14); runner-up Z (shift 25), 86.9 nats worse
    the column's 144 letters      English at shift 14
                      #                             #
      #   #       #   #                  #      #   #
     ##  ###      #   #  ##  #     ##  ###      #   #  ##
     ### #### #   # ### ###  #    #### #### # # #########  #
    ABCDEFGHIJKLMNOPQRSTUVWXYZ    ABCDEFGHIJKLMNOPQRSTUVWXYZ
  Key letter 5 of 5: N (shift 13); runner-up Y (shift 24), 68.0 nats worse
    the column's 144 letters      English at shift 13
          #          #                             #
    ##    #          #                  #      #   #
    ##  ###      #  ### ##  #     ##  ###      #   #  ##
    ##  ###    # # #### ##  ##    ### #### # # #########  ##
    ABCDEFGHIJKLMNOPQRSTUVWXYZ    ABCDEFGHIJKLMNOPQRSTUVWXYZ

The result
  key LEMON (5 letters)
  BUT HE HAD, AS BY THE ACCUSTOMARY INTERVENTION OF KIND FRIENDS, THEY HAD
